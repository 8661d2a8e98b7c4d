#include "report/page_parts.h"

#include <charconv>

#include "base/format_int.h"
#include "base/texts.h"
#include "report/utf8_text.h"

namespace report::html {

const char* const kPageStyle = R"(@page { size: A4; margin: 12mm }
html { -webkit-print-color-adjust: exact; print-color-adjust: exact }
body { font: 9pt/1.35 sans-serif; color: #222; width: 186mm; margin: 0 auto; padding: 6mm 0 }
h1 { font-size: 15pt; margin: 0 0 1mm }
h2 { font-size: 12pt; margin: 0 0 1mm; border-bottom: 0.3mm solid #888 }
h3 { font-size: 10pt; margin: 4mm 0 1mm }
.file { font-family: monospace; font-size: 10pt; margin: 0 0 2mm; overflow-wrap: anywhere }
table { border-collapse: collapse; width: 100%; margin: 0 0 2mm; break-inside: avoid }
th, td { border: 0.2mm solid #bbb; padding: 0.5mm 1.2mm; text-align: right; white-space: nowrap }
th { background: #eee; font-weight: 600; text-align: center }
td:first-child { text-align: left; font-weight: 600 }
.facts { display: flex; flex-wrap: wrap; gap: 1mm 6mm; margin: 0 0 2mm }
.facts b { font-weight: 600; color: #555 }
.share { color: #666; font-size: 7.5pt }
.plots { display: flex; flex-wrap: wrap; justify-content: space-between; row-gap: 2mm }
figure { margin: 0 }
figcaption { font-weight: 600; margin-bottom: 0.5mm }
figcaption .note { font-weight: normal; color: #666 }
svg { display: block }
svg text { font-family: sans-serif; font-size: 13px; fill: #333 }
svg .frame { fill: none; stroke: #666; stroke-width: 1 }
svg .grid { stroke: #e4e4e4; stroke-width: 1 }
svg text.empty { font-size: 15px; fill: #888 }
.made { color: #555; margin: 0 0 1mm }
.signoff { display: none }
@media print {
  .signoff { display: flex; gap: 8mm; margin-top: 10mm; break-inside: avoid }
  .signoff div { flex: 1; padding-top: 9mm; border-bottom: 0.3mm solid #444 }
  .signoff b { font-weight: 600 }
}
)";

std::string Escape(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const char32_t c = NextCodePoint(text, at);
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&#39;";
            break;
        default:
            AppendUtf8(escaped, IsControl(c) && c != '\t' && c != '\n' ? kReplacementCharacter : c);
        }
    }
    return escaped;
}

std::string PaddedDate(int year, int month, int day) {
    return std::to_string(year) + '-' + FormatInt(0, 2, month) + '-' + FormatInt(0, 2, day);
}

std::string PaddedDateTime(int year, int month, int day, int hour, int minute) {
    return PaddedDate(year, month, day) + ' ' + FormatInt(0, 2, hour) + ':' +
           FormatInt(0, 2, minute);
}

std::string PaddedDateTime(const LocalTime& time) {
    return PaddedDateTime(time.year, time.month, time.day, time.hour, time.minute);
}

std::string Fixed(double value, int decimals) {
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (error != std::errc()) {
        return "-";
    }
    std::string text(buffer, end);
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) {
        text.erase(0, 1);
    }
    return text;
}

std::string Shown(const char* text) {
    return Translate(kMessages, text);
}

std::string ResistanceTitle() {
    return FillText(kMessages, K720_TEXT("Messages", "Resistance [%1]"), {kOhm});
}

std::string Language() {
    //: The language code of the printed pages (HTML lang): ja for Japanese.
    return Translate(kMessages, K720_TEXT("Messages", "en"));
}

std::string Fact(const char* name, const std::string& value) {
    return "<span><b>" + Shown(name) + "</b> " + value + "</span>\n";
}

std::string SignOffHtml() {
    static constexpr const char* kFields[] = {K720_TEXT("Messages", "Checked by"),
                                              K720_TEXT("Messages", "Date"),
                                              K720_TEXT("Messages", "Signature")};
    std::string html = "<div class=\"signoff\">\n";
    for (const char* field : kFields) {
        html += "<div><b>" + Shown(field) + "</b></div>\n";
    }
    return html + "</div>\n";
}

} // namespace report::html
