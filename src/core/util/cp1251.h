#pragma once
// The windows-1251 code page: conversion to and from UTF-8, and the letter and case tables
// that the program uses for every letter test and case change, whatever the machine's locale.
#include <string>
#include <string_view>

namespace orv {

// UTF-8 -> windows-1251 bytes; characters outside the code page become '?'.
std::string Utf8ToCp1251(std::string_view utf8);
// windows-1251 bytes -> UTF-8.
std::string Cp1251ToUtf8(std::string_view bytes);

// Byte-level tables of the code page.
bool IsCp1251Letter(unsigned char c);
unsigned char Cp1251Upper(unsigned char c);
unsigned char Cp1251Lower(unsigned char c);

// Code-point level: the same tables applied to characters of the code page; any other
// character is not a letter and has no case.
bool IsLetter(char32_t c);
char32_t UpperChar(char32_t c);
char32_t LowerChar(char32_t c);

// Whole UTF-8 texts.
std::string UpperText(std::string_view utf8);
std::string LowerText(std::string_view utf8);

// Decodes one UTF-8 character at `pos` and advances it; malformed bytes decode as themselves
// (U+0080..U+00FF range of the byte value) so that no input stops a scan.
char32_t DecodeUtf8(std::string_view s, size_t& pos);
void AppendUtf8(std::string& out, char32_t c);

}  // namespace orv
