// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt_user_interface.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>

#include "ui/inputbox1.h"

namespace veka {

bool qtTexteDeutsch(QTranslator& uebersetzer) {
    if (!uebersetzer.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&uebersetzer);
}

QString qtFilter(const std::string& filter) {
    const QStringList teile = QString::fromStdString(filter).split('|');
    QStringList eintraege;
    for (qsizetype i = 0; i + 1 < teile.size(); i += 2)
        eintraege << teile[i] + " (" + teile[i + 1] + ")";
    return eintraege.join(";;");
}

QString filterSuffix(const QString& eintrag) {
    const QRegularExpression muster(QStringLiteral("\\(\\*\\.([A-Za-z0-9_]+)\\)$"));
    const QRegularExpressionMatch treffer = muster.match(eintrag.trimmed());
    return treffer.hasMatch() ? treffer.captured(1) : QString();
}

QString mitEndung(const QString& name, const std::string& filter, const QString& endung) {
    if (endung.isEmpty()) return name;
    const QString datei = name.section('/', -1);
    const qsizetype punkt = datei.lastIndexOf('.');
    if (punkt > 0) {
        const QString eigene = datei.mid(punkt + 1);
        for (const QString& teil : QString::fromStdString(filter).split('|'))
            for (const QString& muster : teil.split(';'))
                if (muster.trimmed().compare("*." + eigene, Qt::CaseInsensitive) == 0)
                    return name;
    }
    return name + '.' + endung;
}

QString menuDialogFolder() {
    if (qEnvironmentVariableIsEmpty("VEKA_STARTED_FROM_MENU")) return {};
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

QtUserInterface::QtUserInterface(QWidget* parent, TForm2* eingabe)
    : parent_(parent), eingabe_(eingabe) {}

void QtUserInterface::showMessage(const std::string& text) {
    if (geschlossen_) return;
    QMessageBox::information(parent_, QStringLiteral("Information"), QString::fromStdString(text));
}

std::string QtUserInterface::WertEingabe(const WertEingabeAnfrage& anfrage) {
    if (eingabe_ == nullptr || geschlossen_) return anfrage.startText;
    return eingabe_->WertEingabe(anfrage);
}

std::optional<std::string> QtUserInterface::chooseFile(const FileDialogRequest& request) {
    if (geschlossen_) return {};
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(qtFilter(request.filter));
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultSuffix));
    // As with the platform's dialog, a file type of one extension gives the name its ending.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
        if (const QString endung = filterSuffix(f); !endung.isEmpty())
            dialog.setDefaultSuffix(endung);
    });
    if (!dialogFolder_.isEmpty()) dialog.setDirectory(dialogFolder_);
    if (!request.offeredName.empty())
        dialog.selectFile(QString::fromStdString(request.offeredName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString chosen = dialog.selectedFiles().first();
    if (!dialogFolder_.isEmpty()) dialogFolder_ = QFileInfo(chosen).absolutePath();
    if (!request.save) return chosen.toStdString();
    // Qt adds the suffix only to a name without any dot.
    return mitEndung(chosen, request.filter, filterSuffix(dialog.selectedNameFilter()))
        .toStdString();
}

void QtUserInterface::showError(const std::string& text) {
    if (geschlossen_) return;
    QMessageBox::critical(parent_, QStringLiteral("Fehler"), QString::fromStdString(text));
}

void QtUserInterface::showReport(const std::string& title, const std::string& text) {
    if (geschlossen_) return;
    // A box like the window's others, the lines in the window's font.
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title),
                    QString::fromStdString(text), QMessageBox::Ok, parent_);
    box.setTextFormat(Qt::PlainText);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
}

void QtUserInterface::postToWindowThread(std::function<void()> task) {
    posted_.post(std::move(task));
}

}  // namespace veka
