#include "core/fileerror.h"

#include "core/catalog.h"
#include "core/savefile.h"
#include "core/uitexts.h"

#include <QDir>

#include <cerrno>

#include <sys/stat.h>

namespace quillet {

QString fileStateText(const QString& path, int errorNo) {
    struct stat st {};
    if (::stat(encodeFileName(path).constData(), &st) != 0) {
        if (errno == ELOOP) return uiText(ui::kFileLoopsToItself);
        if (errno == ENOENT && errorNo == kErrFileNotFound) return uiText(ui::kFileMissing);
        return {};
    }
    if (!S_ISREG(st.st_mode)) return uiText(ui::kFileNotRegular);
    if (errorNo == runtimeErrorOf(SaveError::PermissionDenied) && (st.st_mode & 0222) == 0)
        return uiText(ui::kFileReadOnly);
    return {};
}

QString fileErrorSentence(const QString& path, int errorNo) {
    QString text = runtimeErrorText(errorNo).trimmed();
    text.replace(QLatin1Char('\r'), QString()).replace(QLatin1Char('\n'), QString());
    QString sentence = uiText(ui::kFileErrorSentence).arg(QDir::toNativeSeparators(path), text).arg(errorNo);
    if (const QString state = fileStateText(path, errorNo); !state.isEmpty())
        sentence += uiText(ui::kFileStateSeparator) + state;
    return sentence;
}

}  // namespace quillet
