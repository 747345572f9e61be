#pragma once
// Nodes of an XmlDocument: elements and attributes. A node is a light
// reference, valid while its document is neither reloaded nor destroyed; an
// empty node stands for "none".

#include <cstddef>
#include <string>

class XmlNamedNodeMap;

class XmlNode {
  public:
    XmlNode() = default;
    explicit operator bool() const { return handle_ != nullptr; }

    // The element's or attribute's qualified name, prefix included.
    std::u16string nodeName() const;
    // For an element, its text content: the text and CDATA sections of the
    // element and all its descendants, in document order. For an attribute,
    // its value.
    std::u16string text() const;
    // The attributes of an element, in document order; an empty map otherwise.
    XmlNamedNodeMap attributes() const;

  private:
    friend class XmlDocument;
    friend class XmlNamedNodeMap;
    enum class Kind { Element, Attribute };
    XmlNode(void* handle, Kind kind) : handle_(handle), kind_(kind) {}

    void* handle_ = nullptr;  // the parser's own node record
    Kind kind_ = Kind::Element;
};

class XmlNamedNodeMap {
  public:
    XmlNamedNodeMap() = default;
    // The attribute at `index`, counted from 0; an empty node past the last.
    // Asking for index + 1 after index is a constant-time step.
    XmlNode item(std::size_t index);

  private:
    friend class XmlNode;
    explicit XmlNamedNodeMap(void* element) : element_(element) {}

    void* element_ = nullptr;
    void* last_ = nullptr;  // the attribute returned last, and its index
    std::size_t lastIndex_ = 0;
};
