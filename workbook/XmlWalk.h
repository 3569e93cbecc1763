#pragma once

#include <pugixml.hpp>

// Visits the descendants of `root` in document order without recursion, so that an element
// nested as deep as a file likes costs no stack. `visit(node)` returns true to have the
// node's children visited next, false to pass over them.
template <typename Visit> void walkDescendants(const pugi::xml_node &root, Visit &&visit)
{
    pugi::xml_node node = root.first_child();
    while (node) {
        if (visit(node) && node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node != root && !node.next_sibling())
            node = node.parent();
        if (node == root)
            return;
        node = node.next_sibling();
    }
}
