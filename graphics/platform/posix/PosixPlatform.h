#pragma once

#include <memory>
#include <string>

class LICE_IBitmap;
class LICE_IFont;
class ITextStyle;

// What every window layer on a POSIX system answers alike when its graphics
// context asks the platform for something besides the window: the editor's
// pictures (embedded PNGs), fonts, and the folders a plug-in may want.
// Called on the editor's thread.
class PosixPlatform {
public:
    // The embedded picture `id`, for a name whose extension is "png" in any
    // letter case; null otherwise. Only its header is read now; the pixels are
    // decoded when first drawn.
    static std::unique_ptr<LICE_IBitmap> LoadPicture(int id, const char* name);
    // A font for `style` (the font keeps its own copy of the description).
    static std::unique_ptr<LICE_IFont> CreateFont(const ITextStyle& style);

    // The folder of the running program, of this binary (module or program),
    // the desktop and the user's application data; each ends in '/' where
    // the system gives a file to take it from, empty when unknown.
    static std::string HostDirectory();
    static std::string ModuleDirectory();
    static std::string DesktopDirectory();
    static std::string AppDataDirectory();

    // Everything after the last '/' cut; empty when there is none or the
    // path ends with it.
    static std::string FolderOf(const std::string& path);
};
