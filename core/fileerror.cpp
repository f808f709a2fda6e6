#include "core/fileerror.h"

#include "core/catalog.h"
#include "core/savefile.h"
#include "core/uitexts.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringList>

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

QString errorSentence(const QString& name, int errorNo) {
    // The box: the text's lines, then "エラー" and the number it shows.
    QStringList lines = runtimeErrorMessage(errorNo).split(QLatin1Char('\r'));
    static const QRegularExpression trailingNumber(QStringLiteral("(\\d+)$"));
    const QString shown = trailingNumber.match(lines.takeLast()).captured(1);
    QString text = lines.join(QString()).trimmed();
    text.remove(QLatin1Char('\n'));
    // In one pass: a "%1" in a name stays as it is.
    return uiText(ui::kFileErrorSentence).arg(QDir::toNativeSeparators(name), text, shown);
}

QString fileErrorSentence(const QString& path, int errorNo) {
    QString sentence = errorSentence(path, errorNo);
    if (const QString state = fileStateText(path, errorNo); !state.isEmpty())
        sentence += uiText(ui::kFileStateSeparator) + state;
    return sentence;
}

}  // namespace quillet
