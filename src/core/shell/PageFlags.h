#pragma once

namespace quarvel {

// What a page supports at the moment; each page keeps these current and the
// frame enables its commands from them.
struct PageFlags {
    bool formHidden = false;
    bool canPaste = false;
    bool canExport = false;
    bool canDelete = false;
    bool canSave = false;
    bool canCreate = true;
    bool canPrint = false;
    bool canQuery = false;
    bool canUpload = false;
};

} // namespace quarvel
