#include "platform/xml/xml_node.h"

#include <pugixml.hpp>
#include <vector>

#include "platform/core/text.h"

namespace {

pugi::xml_node AsElement(void* handle) {
    return pugi::xml_node(static_cast<pugi::xml_node_struct*>(handle));
}

pugi::xml_attribute AsAttribute(void* handle) {
    return pugi::xml_attribute(static_cast<pugi::xml_attribute_struct*>(handle));
}

// Text and CDATA of `element` and its descendants in document order, walked
// without recursion so that deep nesting cannot exhaust the stack.
std::string TextContent(pugi::xml_node element) {
    std::string text;
    pugi::xml_node node = element.first_child();
    while (node) {
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
            text += node.value();
        }
        if (node.type() == pugi::node_element && node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node && !node.next_sibling() && node != element) node = node.parent();
        if (!node || node == element) break;
        node = node.next_sibling();
    }
    return text;
}

}  // namespace

std::u16string XmlNode::nodeName() const {
    if (!handle_) return {};
    return Utf8ToUtf16(kind_ == Kind::Element ? AsElement(handle_).name()
                                              : AsAttribute(handle_).name());
}

std::u16string XmlNode::text() const {
    if (!handle_) return {};
    if (kind_ == Kind::Attribute) return Utf8ToUtf16(AsAttribute(handle_).value());
    return Utf8ToUtf16(TextContent(AsElement(handle_)));
}

XmlNamedNodeMap XmlNode::attributes() const {
    if (!handle_ || kind_ != Kind::Element) return XmlNamedNodeMap();
    return XmlNamedNodeMap(handle_);
}

XmlNode XmlNamedNodeMap::item(std::size_t index) {
    if (!element_) return {};
    pugi::xml_attribute attribute;
    std::size_t at = 0;
    if (last_ && index >= lastIndex_) {
        attribute = AsAttribute(last_);
        at = lastIndex_;
    } else {
        attribute = AsElement(element_).first_attribute();
    }
    for (; attribute && at < index; ++at) attribute = attribute.next_attribute();
    if (!attribute) return {};
    last_ = attribute.internal_object();
    lastIndex_ = index;
    return XmlNode(last_, XmlNode::Kind::Attribute);
}
