#pragma once

#include <gumbo.h>

#include <utility>
#include <vector>

namespace quorvane::htmlparser {

// The children of a document or element; none for other nodes (template
// contents are not part of the document tree).
inline const GumboVector *childrenOf(const GumboNode *node)
{
    switch (node->type) {
    case GUMBO_NODE_DOCUMENT:
        return &node->v.document.children;
    case GUMBO_NODE_ELEMENT:
        return &node->v.element.children;
    default:
        return nullptr;
    }
}

// Visits the nodes under root in document order, without recursion (pages
// nest deep); visit answers whether to go into the node's children.
template <typename Visit>
void forEachDescendant(const GumboNode *root, Visit visit)
{
    std::vector<std::pair<const GumboNode *, unsigned>> stack{{root, 0u}};
    while (!stack.empty()) {
        auto &[node, next] = stack.back();
        const GumboVector *children = childrenOf(node);
        if (!children || next >= children->length) {
            stack.pop_back();
            continue;
        }
        const auto *child = static_cast<const GumboNode *>(children->data[next++]);
        if (visit(child))
            stack.emplace_back(child, 0u);
    }
}

}  // namespace quorvane::htmlparser
