// SPDX-License-Identifier: GPL-2.0-or-later
#include "config/qt/QtFileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QStringList>

#include <cstring>

namespace tessaranth::qtview {

QString qtFilter(const char* filter) {
    const QStringList parts = QString::fromLocal8Bit(filter ? filter : "").split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString pattern = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << (parts[i].contains(QLatin1Char('(')) ? parts[i] : parts[i] + QStringLiteral(" (") + pattern + ')');
    }
    return filters.join(QStringLiteral(";;"));
}

bool copyPath(const QString& file, char* path, std::size_t size) {
    const QByteArray chosen = QDir::toNativeSeparators(file).toLocal8Bit();
    if (chosen.isEmpty() || size == 0 || static_cast<std::size_t>(chosen.size()) >= size) return false;
    std::memcpy(path, chosen.constData(), static_cast<std::size_t>(chosen.size()));
    path[chosen.size()] = '\0';
    return true;
}

bool showFileDialog(void*, const platform::FileDialogRequest& request, char* path, std::size_t size) {
    QFileDialog dialog(nullptr, QString::fromLocal8Bit(request.title));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(request.kind == platform::FileDialogKind::save ? QFileDialog::AcceptSave
                                                                          : QFileDialog::AcceptOpen);
    dialog.setNameFilter(qtFilter(request.filter));
    QString extension = QString::fromLocal8Bit(request.defaultExtension ? request.defaultExtension : "");
    if (extension.startsWith(QLatin1Char('.'))) extension.remove(0, 1);
    dialog.setDefaultSuffix(extension);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    return copyPath(dialog.selectedFiles().first(), path, size);
}

} // namespace tessaranth::qtview
