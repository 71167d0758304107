#include "platform/linux/QtMainWindowControls.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <algorithm>
#include <vector>

#include "platform/linux/LayoutTabWidget.h"
#include "platform/linux/PaletteIconEngine.h"
#include "platform/linux/QtMainWindowWidget.h"
#include "platform/linux/TwipGeometry.h"

namespace ww::platform {
namespace {

constexpr std::int32_t kLinkBlue = 0x0000FF;

// A check box as the system draws it: a click anywhere on it counts, and it
// ticks an unticked box and unticks a ticked or greyed one (the greyed state
// is only ever set by the program).
class LayoutCheckBox final : public QCheckBox {
  public:
    LayoutCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {}

  protected:
    bool hitButton(const QPoint& position) const override { return rect().contains(position); }
    void nextCheckState() override {
        setCheckState(checkState() == Qt::Unchecked ? Qt::Checked : Qt::Unchecked);
    }
};

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// A frame as the design draws it: an etched line round the whole control,
// running through the middle of the caption (a style's group box puts its
// frame under the caption, which moves the line off the design's place).
class LayoutFrame final : public QGroupBox {
  public:
    LayoutFrame(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        constexpr int kCaptionLeft = 8;
        constexpr int kGap = 2;
        const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic;
        QPainter painter(this);
        const QFontMetrics metrics = fontMetrics();
        const QRect caption =
            title().isEmpty()
                ? QRect()
                : metrics.boundingRect(QRect(kCaptionLeft, 0, width(), height()), flags, title());
        // The line stops short of the caption on either side.
        painter.setClipRegion(QRegion(rect()) - QRegion(caption.adjusted(-kGap, 0, kGap, 0)));
        const QRect box = rect().adjusted(0, metrics.height() / 2, -1, -1);
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        painter.setPen(palette().color(QPalette::Light));
        painter.drawRect(box.adjusted(1, 1, 0, 0));
        painter.setClipping(false);
        if (!caption.isEmpty()) {
            style()->drawItemText(&painter, caption, flags, palette(), isEnabled(), title(),
                                  QPalette::WindowText);
        }
    }
};

QLabel* MakeLabel(const ControlLayout& spec, QWidget* parent) {
    auto* label = new QLabel(Text(spec.caption), parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(spec.wordWrap);
    const bool link = spec.kind == ControlKind::LinkLabel;
    QFont font = label->font();
    font.setBold(spec.bold);
    font.setUnderline(spec.underline || link);
    label->setFont(font);
    const std::int32_t colour = spec.foreColor >= 0 ? spec.foreColor : link ? kLinkBlue : -1;
    if (colour >= 0) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, QColor(static_cast<QRgb>(colour)));
        label->setPalette(palette);
    }
    label->setMouseTracking(link);
    return label;
}

QLabel* MakePicture(const ControlLayout& spec, const MainWindowLayout& design, QWidget* parent,
                    double dotsPerInch) {
    auto* picture = new QLabel(parent);
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const IconImage& image = design.icon32.pixels.empty() ? design.icon16 : design.icon32;
    const int side =
        std::min(TwipsToPixels(spec.width, dotsPerInch), TwipsToPixels(spec.height, dotsPerInch));
    if (!image.pixels.empty() && side > 0) {
        picture->setPixmap(QIcon(new PaletteIconEngine(image)).pixmap(side, side));
    }
    return picture;
}

QWidget* Make(const ControlLayout& spec, const MainWindowLayout& design, QWidget* parent,
              double dotsPerInch) {
    switch (spec.kind) {
        case ControlKind::TabControl: {
            auto* tabs = new LayoutTabWidget(parent);
            for (const std::string& tab : design.tabs) {
                tabs->AddPage(Text(tab));
            }
            tabs->setCurrentIndex(0);
            return tabs;
        }
        case ControlKind::Frame:
            return new LayoutFrame(Text(spec.caption), parent);
        case ControlKind::Panel:
            return new QWidget(parent);
        case ControlKind::TextField: {
            auto* field = new QLineEdit(Text(spec.caption), parent);
            field->setReadOnly(spec.readOnly);
            if (spec.readOnly) {
                field->setFocusPolicy(Qt::ClickFocus);
            }
            return field;
        }
        case ControlKind::Label:
        case ControlKind::LinkLabel:
            return MakeLabel(spec, parent);
        case ControlKind::CheckBox:
            return new LayoutCheckBox(Text(spec.caption), parent);
        case ControlKind::Button: {
            auto* button = new QPushButton(Text(spec.caption), parent);
            button->setDefault(spec.isDefault);
            return button;
        }
        case ControlKind::Picture:
            return MakePicture(spec, design, parent, dotsPerInch);
        case ControlKind::Line: {
            auto* line = new QFrame(parent);
            line->setFrameShape(QFrame::HLine);
            line->setFrameShadow(QFrame::Sunken);
            return line;
        }
    }
    return nullptr;
}

// The widget a control goes into: a tab page's canvas, a container, or the
// window itself.
QWidget* ParentOf(const ControlLayout& spec, QtMainWindowWidget& window, const BuiltControls& built) {
    const auto tabs = built.find(MainControl::SSTab1);
    if (spec.page >= 0 &&
        (spec.container == MainControl::Window || spec.container == MainControl::SSTab1)) {
        if (tabs == built.end()) {
            return nullptr;
        }
        const auto& canvases = static_cast<LayoutTabWidget*>(tabs->second.widget)->Canvases();
        const auto page = static_cast<std::size_t>(spec.page);
        return page < canvases.size() ? canvases[page] : nullptr;
    }
    if (spec.container == MainControl::Window) {
        return &window;
    }
    const auto container = built.find(spec.container);
    return container != built.end() ? container->second.widget : nullptr;
}

void SetUpButtons(QtMainWindowWidget& window, const BuiltControls& built) {
    std::vector<const BuiltControl*> buttons;
    for (const auto& [id, control] : built) {
        if (control.spec.kind != ControlKind::Button) {
            continue;
        }
        auto* button = static_cast<QPushButton*>(control.widget);
        if (control.spec.isDefault) {
            window.SetDefaultButton(button);
        }
        if (control.spec.isCancel) {
            window.SetCancelButton(button);
        }
        buttons.push_back(&control);
    }
    std::stable_sort(buttons.begin(), buttons.end(), [](const auto* a, const auto* b) {
        return a->spec.tabIndex < b->spec.tabIndex;
    });
    for (std::size_t i = 1; i < buttons.size(); ++i) {
        QWidget::setTabOrder(buttons[i - 1]->widget, buttons[i]->widget);
    }
}

}  // namespace

BuiltControls BuildMainWindowControls(QtMainWindowWidget& window, const MainWindowLayout& design,
                                      double dotsPerInch) {
    BuiltControls built;
    // A control whose container is not built yet waits for a later pass.
    std::vector<const ControlLayout*> pending;
    for (const ControlLayout& spec : design.controls) {
        if (spec.id != MainControl::Window) {
            pending.push_back(&spec);
        }
    }
    while (!pending.empty()) {
        std::vector<const ControlLayout*> waiting;
        for (const ControlLayout* spec : pending) {
            QWidget* parent = ParentOf(*spec, window, built);
            if (parent == nullptr) {
                waiting.push_back(spec);
                continue;
            }
            BuiltControl control{*spec, Make(*spec, design, parent, dotsPerInch)};
            control.widget->setToolTip(Text(spec->toolTip));
            PlaceControl(control, dotsPerInch);
            built.emplace(spec->id, control);
        }
        if (waiting.size() == pending.size()) {
            break;  // containers that never come: those controls are left out
        }
        pending = std::move(waiting);
    }
    SetUpButtons(window, built);
    return built;
}

void PlaceControl(const BuiltControl& control, double dotsPerInch) {
    const ControlLayout& spec = control.spec;
    QRect rect = TwipsToPixelRect(spec.left, spec.top, spec.width, spec.height, dotsPerInch);
    if (spec.kind == ControlKind::Line) {
        // A rule one etched line thick, centred on its design line.
        rect = QRect(rect.x(), rect.y() - 1, rect.width(), 3);
    } else if (spec.autoSize) {
        rect.setSize(control.widget->sizeHint());
    }
    control.widget->setGeometry(rect);
}

}  // namespace ww::platform
