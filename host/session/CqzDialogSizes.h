#pragma once
// The sizes the person gave the tool's resizable dialogs, kept between runs in a small text
// file beside the favourites ("dialog-sizes.txt": one "NAME WIDTH HEIGHT" line a dialog). Read
// into CqzOptionsMgr before a dialog opens and written back after it closed, whatever ended
// it. The file is replaced only when complete (written beside it, then renamed over it); a
// file that cannot be read or written costs only the remembered sizes.

#include <string>

class CqzDialogSizes
{
public:
    // The file beside the favourites file.
    static std::string PathBeside(const std::string& favorites);
    // Beside the default favourites ($XDG_CONFIG_HOME/qzfilter, else ~/.config/qzfilter).
    static std::string DefaultPath();
    // Takes the sizes of the file into CqzOptionsMgr (none when it is missing). A damaged file
    // is refused whole: no size is taken, and the note says which line and why (else empty).
    static std::string Load(const std::string& path);
    // False when the file could not be written (the sizes are then not kept).
    static bool Save(const std::string& path);
};
