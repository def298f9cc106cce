#include "app/PreviewTitle.h"

#include "app/ProgramText.h"
#include "io/AnsiPath.h"

std::string PreviewTitle(const std::string& rateText, const std::string& mapFile, bool modified)
{
    // Taken apart by the code page's characters: "表" ends in a backslash byte.
    const char* name = LastPathPart(mapFile.c_str());
    std::string title = rateText + " " + (*name ? name : Text(IDS_UNNAMED_MAP));
    if (modified) {
        title += " *";
    }
    return title;
}
