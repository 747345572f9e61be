#pragma once
// An XML document object model for small documents such as the update
// manifest: load a whole UTF-16 text, find nodes by a simple path, read their
// text and attributes. The document never reads anything but the text it is
// given: no external entity, no DTD.

#include <memory>
#include <string>
#include <string_view>

#include "platform/xml/xml_node.h"

class XmlDocument {
  public:
    XmlDocument();
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // Replaces the document with the parsed `text`. True only for a
    // well-formed document with exactly one document element; a document
    // that carries a document type declaration is refused. On false the
    // document is empty and LastError() says why.
    [[nodiscard]] bool loadXML(std::u16string_view text);

    // The first node, in document order, that `query` selects; an empty node
    // when none does or the query is not understood. A query is a path of
    // element names separated by "/", evaluated from the document: each step
    // names a child element, optionally followed by "[n]" to take only the
    // n-th such child of its parent, counted from 0 ("update/filename[2]").
    // Asking for [n + 1] right after [n] continues from the node found last,
    // so walking all children by index is linear.
    XmlNode selectSingleNode(std::u16string_view query);

    const std::string& LastError() const;

    struct Impl;

  private:
    std::unique_ptr<Impl> impl_;
};
