// Typed texts that go into the fields of a request.
#pragma once

#include <QString>

// True when text holds "|" or ":", which would add or shift the fields of a
// request (names, teachers and passwords are sent unescaped).
bool breaksFields(const QString &text);
