#pragma once

#include <string>

namespace orva {

// The printer, one job at a time: text placed on the page in twips, new page, end of job.
class Printer {
public:
    virtual ~Printer() = default;
    virtual void print(const std::string& text, int leftTwips, int topTwips) = 0;
    virtual void newPage() = 0;
    virtual void endDoc() = 0;
};

} // namespace orva
