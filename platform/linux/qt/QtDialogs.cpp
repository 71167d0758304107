#include "platform/linux/qt/QtDialogs.h"

#include <QMessageBox>
#include <string>

namespace ww::platform {
namespace {

// MessageBox styles and answers (winuser.h).
constexpr std::uint32_t kButtonsMask = 0x0F;
constexpr std::uint32_t kIconMask = 0xF0;
constexpr std::uint32_t kIconHand = 16;
constexpr std::uint32_t kIconQuestion = 32;
constexpr std::uint32_t kIconAsterisk = 64;
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdAbort = 3;
constexpr int kIdRetry = 4;
constexpr int kIdIgnore = 5;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

QMessageBox::Icon IconOf(std::uint32_t style) {
    switch (style & kIconMask) {
        case kIconHand:
            return QMessageBox::Critical;
        case kIconQuestion:
            return QMessageBox::Question;
        case mb::kExclamation:
            return QMessageBox::Warning;
        case kIconAsterisk:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButtons ButtonsOf(std::uint32_t style) {
    switch (style & kButtonsMask) {
        case 1:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case 2:
            return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
        case 3:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case 4:
            return QMessageBox::Yes | QMessageBox::No;
        case 5:
            return QMessageBox::Retry | QMessageBox::Cancel;
        default:
            return QMessageBox::Ok;
    }
}

int AnswerOf(int button) {
    switch (button) {
        case QMessageBox::Cancel:
            return kIdCancel;
        case QMessageBox::Abort:
            return kIdAbort;
        case QMessageBox::Retry:
            return kIdRetry;
        case QMessageBox::Ignore:
            return kIdIgnore;
        case QMessageBox::Yes:
            return kIdYes;
        case QMessageBox::No:
            return kIdNo;
        default:
            return kIdOk;
    }
}

}  // namespace

QtDialogs::QtDialogs(Trace& trace) : trace_(trace) {}

int QtDialogs::MsgBox(std::string_view text, std::uint32_t style, std::string_view title) {
    if (trace_.Enabled()) {
        trace_.Write("msgbox " + Trace::Quote(title) + " " + Trace::Quote(text));
    }
    QString body = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(IconOf(style),
                    QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())), body,
                    ButtonsOf(style));
    QWidget* const outer = open_;
    open_ = &box;
    const int answer = AnswerOf(box.exec());
    open_ = outer;
    trace_.Write("msgbox-closed " + std::to_string(answer));
    return answer;
}

bool QtDialogs::RaiseOpenBox() {
    if (open_ == nullptr) {
        return false;
    }
    trace_.Write("msgbox raised");
    open_->raise();
    open_->activateWindow();
    return true;
}

}  // namespace ww::platform
