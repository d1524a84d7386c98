// The findings as a SARIF 2.1.0 log.
#include "qvcheck/sarif.h"

#include <windows.h>

#include <cstdio>

#include "qvcheck/rules.h"

namespace {

constexpr char SchemaUri[] = "https://json.schemastore.org/sarif-2.1.0.json";
constexpr char ToolVersion[] = "1.1";
constexpr UINT TextCodePage = 932;

// CP932 text as UTF-16 code units.
std::wstring Wide(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    const int length = MultiByteToWideChar(TextCodePage, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        MultiByteToWideChar(TextCodePage, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                            length);
    return wide;
}

// A JSON string of CP932 text, in ASCII.
std::string JsonString(const std::string& text)
{
    std::string json = "\"";
    for (const wchar_t unit : Wide(text)) {
        char escape[8];
        if (unit == L'"' || unit == L'\\') {
            json += '\\';
            json += static_cast<char>(unit);
        } else if (unit >= 0x20 && unit < 0x7F) {
            json += static_cast<char>(unit);
        } else {
            snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(unit));
            json += escape;
        }
    }
    return json + "\"";
}

// The bytes of one character in UTF-8 (a lone surrogate as itself: paths
// from CP932 hold none).
void AppendUtf8(std::string& out, unsigned code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool IsUnreserved(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           c == '-' || c == '.' || c == '_' || c == '~' || c == '/' || c == ':';
}

// A Windows path as a file URI: file:///C:/folder/file, its characters in
// UTF-8 and percent-encoded where a URI needs it.
std::string FileUri(const std::string& path)
{
    std::string utf8;
    for (const wchar_t unit : Wide(path))
        AppendUtf8(utf8, unit == L'\\' ? L'/' : static_cast<unsigned>(unit));
    std::string uri = "file:///";
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        char encoded[4];
        snprintf(encoded, sizeof encoded, "%%%02X", byte);
        uri += IsUnreserved(byte) ? std::string(1, c) : std::string(encoded);
    }
    return uri;
}

std::string RulesJson()
{
    std::string json;
    for (const Rule& rule : Rules) {
        json += std::string(json.empty() ? "" : ",") + "{\"id\":" + JsonString(rule.id) +
                ",\"shortDescription\":{\"text\":" + JsonString(rule.summary) + "}}";
    }
    return json;
}

std::string ResultJson(const Finding& finding)
{
    std::string message = finding.text;
    if (!finding.quote.empty())
        message += " (qvsetup: \"" + finding.quote + "\")";
    std::string location = "{\"artifactLocation\":{\"uri\":" + JsonString(FileUri(finding.path)) + "}";
    if (finding.line > 0)
        location += ",\"region\":{\"startLine\":" + std::to_string(finding.line) +
                    ",\"startColumn\":" + std::to_string(finding.column) + "}";
    location += "}";
    return "{\"ruleId\":" + JsonString(RuleOf(finding.rule).id) +
           ",\"ruleIndex\":" + std::to_string(static_cast<int>(finding.rule)) +
           ",\"level\":\"" + (finding.severity == Severity::Error ? "error" : "warning") +
           "\",\"message\":{\"text\":" + JsonString(message) + "},\"locations\":[{\"physicalLocation\":" +
           location + "}]}";
}

} // namespace

std::string FormatSarif(const Report& report)
{
    std::string results;
    for (const Finding& finding : report.findings())
        results += (results.empty() ? "" : ",\n    ") + ResultJson(finding);
    return std::string("{\n  \"$schema\": \"") + SchemaUri + "\",\n  \"version\": \"2.1.0\",\n" +
           "  \"runs\": [{\n   \"tool\": {\"driver\": {\"name\": \"qvcheck\", \"version\": \"" + ToolVersion +
           "\", \"rules\": [" + RulesJson() + "]}},\n   \"columnKind\": \"utf16CodeUnits\",\n" +
           "   \"results\": [\n    " + results + "]\n  }]\n}\n";
}
