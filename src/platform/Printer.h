#pragma once

#include "platform/Outcome.h"

#include <string>

namespace orva {

// The printer, one job at a time: text placed on the page in twips, new page, end of job. A
// failure is error 482.
class Printer {
public:
    virtual ~Printer() = default;
    virtual Outcome<> print(const std::string& text, int leftTwips, int topTwips) = 0;
    virtual Outcome<> newPage() = 0;
    virtual Outcome<> endDoc() = 0;
};

} // namespace orva
