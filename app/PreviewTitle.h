#pragma once

#include <string>

// The preview's title: the frame rate as the frame timer writes it, then the
// map's file name without its folder ("名前のないマップ" for a map that has
// none) and " *" while the map has unsaved changes:
// "[ FPS : 028/s ] island.omd *".
std::string PreviewTitle(const std::string& rateText, const std::string& mapFile, bool modified);
