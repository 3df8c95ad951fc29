#include <chrono>
#include <filesystem>
#include <iostream>

#include "cli/commands.h"
#include "update/local_packets.h"
#include "update/packet_generator.h"
#include "util/text.h"

namespace orv::cli {
namespace {
int Number(const std::string& name, const std::string& text, long long lo, long long hi) {
    std::int32_t v;
    if (!ParseIntegerText(text, v) || v < lo || v > hi)
        throw UsageError{name + ": неверное число " + text};
    return v;
}

int Run(Args& args) {
    auto out = args.Option("--out");
    auto count = args.Option("--preparations");
    auto seed = args.Option("--seed");
    auto packet = args.Option("--packet");
    if (!out || !count)
        throw UsageError{"нужны --out ПАПКА и --preparations N"};
    if (!args.Positionals().empty())
        throw UsageError{"лишние параметры"};
    GeneratorOptions o;
    o.preparations = Number("--preparations", *count, 1, 5'000'000);
    if (seed)
        o.seed = static_cast<std::uint64_t>(Number("--seed", *seed, 0, 0x7FFFFFFF));
    if (packet)
        o.packet = Number("--packet", *packet, 1, 0x7FFFFFFF);
    const auto start = std::chrono::steady_clock::now();
    std::filesystem::create_directories(*out);
    std::string dir = *out;
    if (dir.back() != '/')
        dir += '/';
    const std::string path = PacketFilePath(dir, o.packet);
    const std::string text = BuildPacketText(GeneratePacket(o));
    WritePacketFile(path, text, 1);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << path << ": " << o.preparations << " препаратов, "
              << GeneratedGroupCount(o.preparations) << " групп, "
              << GeneratedManufacturerCount(o.preparations) << " производителей; текст "
              << text.size() / 1024 << " КБ, файл " << std::filesystem::file_size(path) / 1024
              << " КБ, " << seconds << " с\n";
    return 0;
}
}  // namespace

const Command kGenerateCommand{
    "generate", "создать большой пакет вымышленных препаратов для нагрузочных проверок",
    "orvanta-cli generate --out ПАПКА --preparations N [--seed S] [--packet K]\n"
    "  Пишет в ПАПКУ пакет K.pckt (по умолчанию 1.pckt): N вымышленных препаратов с синонимами\n"
    "  и всеми разделами описания обычной длины, группы (N/100, не меньше 10) и производители\n"
    "  (N/15, не меньше 10). Одинаковые параметры дают один и тот же файл байт в байт.\n"
    "  Справочник из него: orvanta-cli apply --dir ПАПКА --init ПАПКА/1.pckt\n",
    Run};

}  // namespace orv::cli
