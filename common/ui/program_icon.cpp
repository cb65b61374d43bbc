#include "common/ui/program_icon.h"

#include <QDir>

// The resource is compiled into a static library, where nothing would pull
// it in by itself; Q_INIT_RESOURCE must be called outside any namespace.
static void initProgramIconResource() { Q_INIT_RESOURCE(program_icon); }

namespace capacimo {

QIcon programIcon() {
    static const bool initialised = (initProgramIconResource(), true);
    (void)initialised;
    // Every size the build rendered; each PNG tells its own size.
    QIcon icon;
    for (const QFileInfo& file : QDir(QStringLiteral(":/capacimo/icon")).entryInfoList(QDir::Files)) {
        icon.addFile(file.filePath());
    }
    return icon;
}

}  // namespace capacimo
