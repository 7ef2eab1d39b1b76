#pragma once

#include <QString>

namespace quarvel {

// The data the program comes with (default templates in DATA_MODEL, the
// goods-name dictionary in DATA_SYS), made from the readable sources in
// data/ when the program is built. Start-up copies what an installation
// lacks; what is already there is never overwritten.
class ShippedData {
public:
    // The first folder holding the data: "share/quarvel" beside the running
    // program or one level up (or the server package's "share/quarvel-server"),
    // else the build tree's. Empty when none has it.
    static QString Folder();
};

} // namespace quarvel
