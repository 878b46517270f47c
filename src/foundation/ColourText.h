#pragma once
// Colours stored as text: one of twenty names ("clAqua") or "$" and eight hexadecimal digits of
// the value 0x00BBGGRR (blue in the high byte). Plain decimal numbers are read too.
#include <QString>
#include <optional>

namespace velcaris::app {

struct Rgb {
    int red = 0, green = 0, blue = 0;
    bool operator==(const Rgb&) const = default;
};

std::optional<Rgb> colourFromText(const QString& text);
QString colourToText(const Rgb& colour); // the name when there is one

} // namespace velcaris::app
