// See PickerMatching.h.
#include "interface/PickerMatching.h"

#include <algorithm>

#include "catalog/SoftwarePack.h"
#include "platform/foundation/Text.h"

namespace corvanta {

std::string SoftwarePickerEntry::id() const {
    if (const SoftwarePack* software = pack())
        return "software-" + software->id;
    return "add-" + std::string(rawValue(std::get<SoftwareGroup>(value)));
}

namespace picker {
namespace {

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool isAsciiAlphanumeric(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

}  // namespace

std::string normalized(std::string_view text) {
    return text::lowercased(text::fold(text::trimmed(text)));
}

std::string compactForm(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    // Every ASCII character but CR LF is a character of its own, and CR LF
    // is neither letter nor digit; the rest goes by user-perceived characters.
    if (isAscii(text)) {
        std::copy_if(text.begin(), text.end(), std::back_inserter(out), isAsciiAlphanumeric);
        return out;
    }
    for (const std::string& character : text::graphemes(text)) {
        if (text::isLetter(character) || text::isNumber(character))
            out += character;
    }
    return out;
}

std::vector<std::string> queryTokens(std::string_view query) {
    std::vector<std::string> tokens;
    const std::u32string scalars = text::toUtf32(normalized(query));
    std::u32string token;
    for (const char32_t c : scalars) {
        if (text::isWhitespaceOrNewline(c)) {
            if (!token.empty())
                tokens.push_back(text::toUtf8(token));
            token.clear();
        } else {
            token.push_back(c);
        }
    }
    if (!token.empty())
        tokens.push_back(text::toUtf8(token));
    return tokens;
}

bool matches(const SoftwarePack& pack, const std::vector<std::string>& tokens) {
    if (tokens.empty())
        return true;
    const std::string haystack = normalized(pack.name + " " + pack.id);
    std::string compactHaystack;
    bool compacted = false;
    for (const std::string& token : tokens) {
        if (haystack.find(token) != std::string::npos)
            continue;
        const std::string compactToken = compactForm(token);
        if (compactToken.empty())
            return false;
        if (!compacted) {
            compactHaystack = compactForm(haystack);
            compacted = true;
        }
        if (compactHaystack.find(compactToken) == std::string::npos)
            return false;
    }
    return true;
}

bool matches(const SoftwarePack& pack, std::string_view query) {
    return matches(pack, queryTokens(query));
}

std::vector<PickerSection> filterSections(const std::vector<SoftwareGroupSection>& sections,
                                          std::string_view query) {
    return filterSections(sections, queryTokens(query));
}

std::vector<PickerSection> filterSections(const std::vector<SoftwareGroupSection>& sections,
                                          const std::vector<std::string>& tokens) {
    std::vector<PickerSection> out;
    out.reserve(sections.size());
    for (const SoftwareGroupSection& section : sections) {
        PickerSection filtered{section.group, {}};
        filtered.software.reserve(section.software.size());
        for (const SoftwarePack* pack : section.software) {
            if (matches(*pack, tokens))
                filtered.software.push_back(pack);
        }
        if (!filtered.software.empty())
            out.push_back(std::move(filtered));
    }
    return out;
}

int matchCount(const std::vector<PickerSection>& sections) {
    std::size_t count = 0;
    for (const PickerSection& section : sections) count += section.software.size();
    return static_cast<int>(count);
}

std::vector<std::vector<SoftwarePickerEntry>> rows(SoftwareGroup group,
                                                   const std::vector<const SoftwarePack*>& packs,
                                                   bool includesAddButton) {
    std::vector<SoftwarePickerEntry> entries;
    entries.reserve(packs.size() + 1);
    for (const SoftwarePack* pack : packs) entries.push_back(SoftwarePickerEntry::software(*pack));
    if (includesAddButton)
        entries.push_back(SoftwarePickerEntry::add(group));
    std::vector<std::vector<SoftwarePickerEntry>> out;
    out.reserve((entries.size() + 1) / 2);
    for (std::size_t i = 0; i < entries.size(); i += 2) {
        std::vector<SoftwarePickerEntry> row{entries[i]};
        if (i + 1 < entries.size())
            row.push_back(entries[i + 1]);
        out.push_back(std::move(row));
    }
    return out;
}

}  // namespace picker
}  // namespace corvanta
