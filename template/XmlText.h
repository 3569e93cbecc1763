#pragma once

#include <QDomElement>
#include <QString>
#include <optional>

// Reading the template's elements the way its rules are written.

// The text of an element: the value of its only child when that is a text or CDATA node;
// none when the element has no children. Any other content throws Failure with
// `Element "name" does not contain a single text node`.
std::optional<QString> elementText(const QDomElement &element);

// True when the element's only content is one text or CDATA node.
bool hasOnlyText(const QDomElement &element);

// An integer attribute read leniently; a missing, empty or unreadable one gives `fallback`.
int intAttribute(const QDomElement &element, const QString &name, int fallback);
