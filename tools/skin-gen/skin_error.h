#pragma once

#include <stdexcept>
#include <string>

namespace skingen {

// Anything that would leave the generated tree incomplete or wrong; main() reports it and the
// build stops.
class SkinError : public std::runtime_error {
public:
    explicit SkinError(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace skingen
