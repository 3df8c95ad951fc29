#include "display/page.h"

#include <fstream>

#include "display/highlight.h"
#include "util/cp1251.h"
#include "util/error.h"
#include "util/text.h"

namespace orv {

void AppendSection(std::vector<std::string>& lines, std::string_view caption,
                   const TDisplayRec& rec) {
    const std::string* text = SectionText(rec, caption);
    if (text == nullptr || Trim(*text).empty())
        return;
    lines.emplace_back("<tr><td>&nbsp;</td></tr>");
    lines.push_back("<tr><td class=\"Item\">" + std::string(caption) + "</td></tr>");
    lines.push_back("<tr><td>" + *text + "</td></tr>");
}

namespace {
std::string EscapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}
}  // namespace

void AppendAnalogues(std::vector<std::string>& lines, const PageOptions& options) {
    if (options.analogues.empty())
        return;
    std::string links;
    for (const PageLink& a : options.analogues) {
        if (!links.empty())
            links += ", ";
        links += "<a href=\"" + std::string(kPageLinkScheme) + ":" + std::to_string(a.id) + "\">" +
                 EscapeHtml(a.name) + "</a>";
    }
    const int more = options.analoguesTotal - static_cast<int>(options.analogues.size());
    if (more > 0)
        links += " и ещё " + std::to_string(more);
    lines.emplace_back("<tr><td>&nbsp;</td></tr>");
    lines.push_back("<tr><td class=\"Item\">" + std::string(kAnaloguesCaption) + "</td></tr>");
    lines.push_back("<tr><td>" + links + "</td></tr>");
}

std::vector<std::string> BuildDescriptionPage(const TDisplayRec& rec, const PageOptions& options) {
    std::vector<std::string> lines = {
        "<html><head><meta http-equiv=Content-Type content=\"text/html; charset=windows-1251\">"
        "<title>Norvel</title>",
        "<style type=\"text/css\">",
        "<!--",
        ".caption {",
        "\tfont-family: Verdana, Arial, Helvetica, sans-serif;",
        "\tfont-size: 20px;",
        "\tfont-weight: normal;",
        "\tcolor: #0066FF;",
        "}",
        ".menu {",
        "\tfont-family: Arial, Helvetica, sans-serif; text-decoration: none; font-size: 11pt; "
        "color: #333333;padding-top: 3px;",
        "}",
        ".Item {",
        "\tfont-family: Arial, Helvetica, sans-serif;",
        "\tfont-size: 14px;",
        "\tfont-weight: bolder;",
        "\tcolor: #7D0000;",
        "\tfont-style: italic;",
        "\tbackground-color: #E7EFF8;",
        "}",
        ".ftext {",
        "\tfont-family: Arial, Helvetica, sans-serif;",
        "\tfont-size: 13px;",
        "\tfont-weight: bold;",
        "\tcolor: #7D0000;",
        "}",
        "-->",
        "</style>",
        "</head>",
        "<body>",
        "<table width=\"100%\" border=\"0\" cellpadding=\"0\" cellspacing=\"0\" class=\"menu\">",
    };
    if (options.picturePath.empty()) {
        lines.emplace_back("<tr><td class=\"caption\">");
    } else {
        lines.push_back("<tr><td class=\"caption\"><img src=\"" + options.picturePath +
                        "\" align=\"absmiddle\">&nbsp;&nbsp;");
    }
    lines.push_back(rec.Name + "</td></tr>");
    // The analogues follow the synonyms wherever the user put them; without that entry, last.
    bool analoguesDone = false;
    for (const CheckEntry& entry : options.sections) {
        if (entry.checked)
            AppendSection(lines, entry.caption, rec);
        if (!analoguesDone && entry.caption == "Синонимы") {
            AppendAnalogues(lines, options);
            analoguesDone = true;
        }
    }
    if (!analoguesDone)
        AppendAnalogues(lines, options);
    lines.emplace_back("</table></body></html>");
    if (options.highlightSearchWords)
        HighlightSearchWords(lines, options.filterText);
    return lines;
}

std::string EncodePage(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += Utf8ToCp1251(line);
        bytes += "\r\n";
    }
    return bytes;
}

void WriteDescriptionPage(const std::string& fileName, const TDisplayRec& rec,
                          const PageOptions& options) {
    const std::string bytes = EncodePage(BuildDescriptionPage(rec, options));
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    if (out)
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (out)
        out.close();
    if (!out)
        throw Error("Не удалось записать файл описания «" + fileName + "»");
}

}  // namespace orv
