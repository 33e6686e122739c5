#pragma once

#include <string>
#include <vector>

// kvx-host snapshot: draws the Kelvorantumix editor off screen and writes it as a PNG.
int RunSnapshot(const std::vector<std::string>& args);
