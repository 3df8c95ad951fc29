// The four-part version, kept in the executable where FileVersionText reads it back: as an
// ELF note, found through the program headers without reading the file, and as a plain mark
// for a reader of any other format.
extern "C" {
__attribute__((used)) const char orvanta_file_version[] = "ORVANTA_FILE_VERSION:" ORVANTA_VERSION;
}

// Owner "Orvanta" (8 bytes with its NUL), type 1, the version text with its NUL.
__asm__(
    ".pushsection .note.orvanta.version, \"a\", @note\n"
    ".balign 4\n"
    ".long 8\n"
    ".long 2f - 1f\n"
    ".long 1\n"
    ".asciz \"Orvanta\"\n"
    "1: .asciz \"" ORVANTA_VERSION
    "\"\n"
    "2: .balign 4\n"
    ".popsection\n");
