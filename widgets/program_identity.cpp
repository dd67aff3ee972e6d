#include "program_identity.h"

#include "tolvane_version.h"

namespace tolvane {

QString programTitle() {
    return QString::fromUtf8(version::kProgramTitle);
}

QString programVersionText() {
    return QString::fromUtf8(version::kText);
}

QString programFileName() {
    return QString::fromUtf8(version::kExecutableName);
}

}  // namespace tolvane
