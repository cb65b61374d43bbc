#include "widgets/file_question.h"

#include <QFileDialog>

namespace capacimo::widgets {

QString askWithFileDialog(QWidget* parent, const FileQuestion& q) {
    return q.save ? QFileDialog::getSaveFileName(parent, q.caption, q.folder, q.filter)
                  : QFileDialog::getOpenFileName(parent, q.caption, q.folder, q.filter);
}

QString withExtension(const QString& path, const QString& extension) {
    return path.endsWith(extension, Qt::CaseInsensitive) ? path : path + extension;
}

}  // namespace capacimo::widgets
