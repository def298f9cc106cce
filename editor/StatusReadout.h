#pragma once

#include <string>

std::string VertexReadout(int x, int y, double height);
std::string CellReadout(int x, int y, int chip, int turn, int billboard);
