#pragma once

#include <windows.h>
#include <shellapi.h>

class COxelD3DTerrainEditor;

// The window index the preview's drops carry: it is none of the editor's windows.
const int kPreviewDropTarget = -1;

// A file dropped from Explorer on window `index` (or the preview): a map
// opens through the question about unsaved changes, a picture on the height
// window becomes the heights, a BMP on the texture window the atlas, each as
// the menu command does it. Anything else, or several files, is refused with
// a message and changes nothing; so is a handle that is no readable file list
// of this process (null, freed, another process's memory, damaged), with a
// message that says the drop could not be read. Frees `drop` whenever it is a
// block of this process.
void OpenDroppedFiles(COxelD3DTerrainEditor* editor, int index, HDROP drop);
