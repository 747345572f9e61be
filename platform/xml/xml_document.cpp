#include "platform/xml/xml_document.h"

#include <algorithm>
#include <charconv>
#include <pugixml.hpp>
#include <string_view>
#include <vector>

#include "platform/core/text.h"

namespace {

// Well-formedness rules that the parser itself does not enforce.
bool HasDuplicateAttributes(pugi::xml_node element) {
    std::vector<std::string_view> names;
    for (pugi::xml_attribute a = element.first_attribute(); a; a = a.next_attribute()) {
        names.emplace_back(a.name());
    }
    if (names.size() < 2) return false;
    std::sort(names.begin(), names.end());
    return std::adjacent_find(names.begin(), names.end()) != names.end();
}

// Checks the whole tree without recursion.
bool AnyElementHasDuplicateAttributes(pugi::xml_node root) {
    pugi::xml_node node = root;
    while (node) {
        if (node.type() == pugi::node_element && HasDuplicateAttributes(node)) return true;
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node && !node.next_sibling() && node != root) node = node.parent();
        if (!node || node == root) break;
        node = node.next_sibling();
    }
    return false;
}

// True when `text` at `pos` (an '&') starts one of the predefined entity
// references or a character reference. Without a DTD no other is declared.
bool IsReferenceAt(std::u16string_view text, std::size_t pos) {
    std::size_t end = text.find(u';', pos);
    if (end == std::u16string_view::npos) return false;
    std::u16string_view name = text.substr(pos + 1, end - pos - 1);
    if (name == u"amp" || name == u"lt" || name == u"gt" || name == u"quot" || name == u"apos") {
        return true;
    }
    if (name.size() < 2 || name[0] != u'#') return false;
    const bool hex = name[1] == u'x';
    std::u16string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty()) return false;
    for (char16_t c : digits) {
        const bool digit = (c >= u'0' && c <= u'9') ||
                           (hex && ((c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F')));
        if (!digit) return false;
    }
    return true;
}

// The parser keeps an undeclared reference such as "&nbsp;", or a bare "&", as
// literal text; a well-formed document has neither. Checks every '&' outside
// CDATA sections, comments and processing instructions, where it is literal.
bool HasOnlyDeclaredReferences(std::u16string_view text) {
    struct Literal {
        std::u16string_view open, close;
    };
    constexpr Literal kLiterals[] = {{u"<![CDATA[", u"]]>"}, {u"<!--", u"-->"}, {u"<?", u"?>"}};
    std::size_t pos = 0;
    while ((pos = text.find_first_of(u"&<", pos)) != std::u16string_view::npos) {
        if (text[pos] == u'&') {
            if (!IsReferenceAt(text, pos)) return false;
            ++pos;
            continue;
        }
        std::size_t next = pos + 1;
        for (const Literal& literal : kLiterals) {
            if (text.substr(pos, literal.open.size()) == literal.open) {
                std::size_t close = text.find(literal.close, pos + literal.open.size());
                if (close == std::u16string_view::npos) return false;
                next = close + literal.close.size();
                break;
            }
        }
        pos = next;
    }
    return true;
}

struct QueryStep {
    std::string name;
    bool indexed = false;
    std::size_t index = 0;
};

bool ParseQuery(std::string_view query, std::vector<QueryStep>& steps) {
    while (true) {
        std::size_t slash = query.find('/');
        std::string_view part = query.substr(0, slash);
        QueryStep step;
        std::size_t bracket = part.find('[');
        if (bracket != std::string_view::npos) {
            if (part.back() != ']') return false;
            std::string_view digits = part.substr(bracket + 1, part.size() - bracket - 2);
            auto [end, ec] =
                std::from_chars(digits.data(), digits.data() + digits.size(), step.index);
            if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size()) {
                return false;
            }
            step.indexed = true;
            part = part.substr(0, bracket);
        }
        if (part.empty()) return false;
        step.name = std::string(part);
        steps.push_back(std::move(step));
        if (slash == std::string_view::npos) return true;
        query.remove_prefix(slash + 1);
    }
}

}  // namespace

struct XmlDocument::Impl {
    pugi::xml_document document;
    std::string lastError;

    // The child found last by an indexed step, to continue from it.
    pugi::xml_node cachedParent;
    std::string cachedName;
    std::size_t cachedIndex = 0;
    pugi::xml_node cachedChild;

    pugi::xml_node NthChild(pugi::xml_node parent, const std::string& name, std::size_t index) {
        pugi::xml_node child;
        std::size_t at = 0;
        if (cachedChild && cachedParent == parent && cachedName == name && cachedIndex <= index) {
            child = cachedChild;
            at = cachedIndex;
        } else {
            child = parent.child(name.c_str());
        }
        for (; child && at < index; ++at) child = child.next_sibling(name.c_str());
        if (child) {
            cachedParent = parent;
            cachedName = name;
            cachedIndex = index;
            cachedChild = child;
        }
        return child;
    }

    // The first node in document order that steps[i..] select below `parent`.
    pugi::xml_node Select(pugi::xml_node parent, const std::vector<QueryStep>& steps,
                          std::size_t i) {
        const QueryStep& step = steps[i];
        const bool last = i + 1 == steps.size();
        if (step.indexed) {
            pugi::xml_node child = NthChild(parent, step.name, step.index);
            if (!child || last) return child;
            return Select(child, steps, i + 1);
        }
        for (pugi::xml_node child = parent.child(step.name.c_str()); child;
             child = child.next_sibling(step.name.c_str())) {
            if (last) return child;
            if (pugi::xml_node found = Select(child, steps, i + 1)) return found;
        }
        return {};
    }

    void Clear() {
        document.reset();
        cachedParent = cachedChild = pugi::xml_node();
        cachedName.clear();
    }
};

XmlDocument::XmlDocument() : impl_(std::make_unique<Impl>()) {}
XmlDocument::~XmlDocument() = default;

bool XmlDocument::loadXML(std::u16string_view text) {
    Impl& d = *impl_;
    d.Clear();
    d.lastError.clear();
    // As a fragment, so that text outside the document element shows up and is refused.
    const unsigned options = pugi::parse_default | pugi::parse_doctype | pugi::parse_fragment;
    pugi::xml_parse_result parsed = d.document.load_buffer(
        text.data(), text.size() * sizeof(char16_t), options, pugi::encoding_utf16);
    auto refuse = [&d](std::string why) {
        d.Clear();
        d.lastError = std::move(why);
        return false;
    };
    if (!parsed) {
        return refuse(std::string(parsed.description()) + " at offset " +
                      std::to_string(parsed.offset));
    }
    int elements = 0;
    for (pugi::xml_node child = d.document.first_child(); child; child = child.next_sibling()) {
        switch (child.type()) {
            case pugi::node_element:
                ++elements;
                break;
            case pugi::node_doctype:
                return refuse("document type declarations are not accepted");
            case pugi::node_pcdata:
            case pugi::node_cdata:
                return refuse("text outside the document element");
            default:
                break;
        }
    }
    if (elements != 1) return refuse("not exactly one document element");
    if (AnyElementHasDuplicateAttributes(d.document.document_element())) {
        return refuse("an element repeats an attribute");
    }
    if (!HasOnlyDeclaredReferences(text)) {
        return refuse("an undeclared entity reference or a bare '&'");
    }
    return true;
}

XmlNode XmlDocument::selectSingleNode(std::u16string_view query) {
    std::vector<QueryStep> steps;
    if (!ParseQuery(Utf16ToUtf8(query), steps)) return {};
    pugi::xml_node found = impl_->Select(impl_->document, steps, 0);
    if (!found) return {};
    return XmlNode(found.internal_object(), XmlNode::Kind::Element);
}

const std::string& XmlDocument::LastError() const {
    return impl_->lastError;
}
