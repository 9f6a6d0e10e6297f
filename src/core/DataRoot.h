#pragma once

#include <QString>

namespace telvara {

// The folder that stands for drive C: and the fixed places under it. On Windows it is "C:/";
// elsewhere $TELVARA_ROOT when set, else the user's home folder.
class DataRoot {
public:
    static QString root();
    static QString databaseFile();         // <root>/Orvanel/Bd
    static QString shutdownReportFolder(); // <root>/Orvanel/Registros
    static QString savedReportFolder();    // <root>/Orvabase/Registros

    // Creates both report folders when they are missing, so that the exports of a first start on
    // a new machine have somewhere to go. Returns false when one could not be created.
    static bool createReportFolders();
};

} // namespace telvara
