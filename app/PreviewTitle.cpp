#include "app/PreviewTitle.h"

#include "io/AnsiPath.h"

std::string PreviewTitle(const std::string& rateText, const std::string& mapFile, bool modified)
{
    // Taken apart by the code page's characters: "表" ends in a backslash byte.
    const char* name = LastPathPart(mapFile.c_str());
    std::string title = rateText + " " + (*name ? name : "名前のないマップ");
    if (modified) {
        title += " *";
    }
    return title;
}
