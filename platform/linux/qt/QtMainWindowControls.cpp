#include "platform/linux/qt/QtMainWindowControls.h"

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

#include "platform/linux/qt/LayoutTabWidget.h"
#include "platform/linux/qt/PaletteIconEngine.h"
#include "platform/linux/qt/QtMainWindowWidget.h"
#include "platform/linux/qt/TwipGeometry.h"

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

// A frame as the layout draws it: an etched line round the whole control,
// running through the middle of the caption (a style's group box puts its
// frame under the caption, which moves the line off the layout's place).
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

QLabel* MakeLabel(const ControlLayout& layout, QWidget* parent) {
    auto* label = new QLabel(Text(layout.caption), parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(layout.wordWrap);
    const bool link = layout.kind == ControlKind::LinkLabel;
    QFont font = label->font();
    font.setBold(layout.bold);
    font.setUnderline(layout.underline || link);
    label->setFont(font);
    const std::int32_t colour = layout.foreColor >= 0 ? layout.foreColor : link ? kLinkBlue : -1;
    if (colour >= 0) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, QColor(static_cast<QRgb>(colour)));
        label->setPalette(palette);
    }
    label->setMouseTracking(link);
    return label;
}

QLabel* MakePicture(const ControlLayout& layout, const MainWindowLayout& windowLayout,
                    QWidget* parent, double dotsPerInch) {
    auto* picture = new QLabel(parent);
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const IconImage& image =
        windowLayout.icon32.pixels.empty() ? windowLayout.icon16 : windowLayout.icon32;
    const int side = std::min(TwipsToPixels(layout.width, dotsPerInch),
                              TwipsToPixels(layout.height, dotsPerInch));
    if (!image.pixels.empty() && side > 0) {
        picture->setPixmap(QIcon(new PaletteIconEngine(image)).pixmap(side, side));
    }
    return picture;
}

QWidget* Make(const ControlLayout& layout, const MainWindowLayout& windowLayout, QWidget* parent,
              double dotsPerInch) {
    switch (layout.kind) {
        case ControlKind::TabControl: {
            auto* tabs = new LayoutTabWidget(parent);
            for (const std::string& tab : windowLayout.tabs) {
                tabs->AddPage(Text(tab));
            }
            tabs->setCurrentIndex(0);
            return tabs;
        }
        case ControlKind::Frame:
            return new LayoutFrame(Text(layout.caption), parent);
        case ControlKind::Panel:
            return new QWidget(parent);
        case ControlKind::TextField: {
            auto* field = new QLineEdit(Text(layout.caption), parent);
            field->setReadOnly(layout.readOnly);
            if (layout.readOnly) {
                field->setFocusPolicy(Qt::ClickFocus);
            }
            return field;
        }
        case ControlKind::Label:
        case ControlKind::LinkLabel:
            return MakeLabel(layout, parent);
        case ControlKind::CheckBox:
            return new LayoutCheckBox(Text(layout.caption), parent);
        case ControlKind::Button: {
            auto* button = new QPushButton(Text(layout.caption), parent);
            button->setDefault(layout.isDefault);
            return button;
        }
        case ControlKind::Picture:
            return MakePicture(layout, windowLayout, parent, dotsPerInch);
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
QWidget* ParentOf(const ControlLayout& layout, QtMainWindowWidget& window,
                  const BuiltControls& built) {
    const auto tabs = built.find(MainControl::SSTab1);
    if (layout.page >= 0 &&
        (layout.container == MainControl::Window || layout.container == MainControl::SSTab1)) {
        if (tabs == built.end()) {
            return nullptr;
        }
        const auto& canvases = static_cast<LayoutTabWidget*>(tabs->second.widget)->Canvases();
        const auto page = static_cast<std::size_t>(layout.page);
        return page < canvases.size() ? canvases[page] : nullptr;
    }
    if (layout.container == MainControl::Window) {
        return &window;
    }
    const auto container = built.find(layout.container);
    return container != built.end() ? container->second.widget : nullptr;
}

void SetUpButtons(QtMainWindowWidget& window, const BuiltControls& built) {
    std::vector<const BuiltControl*> buttons;
    for (const auto& [id, control] : built) {
        if (control.layout.kind != ControlKind::Button) {
            continue;
        }
        auto* button = static_cast<QPushButton*>(control.widget);
        if (control.layout.isDefault) {
            window.SetDefaultButton(button);
        }
        if (control.layout.isCancel) {
            window.SetCancelButton(button);
        }
        buttons.push_back(&control);
    }
    std::stable_sort(buttons.begin(), buttons.end(), [](const auto* a, const auto* b) {
        return a->layout.tabIndex < b->layout.tabIndex;
    });
    for (std::size_t i = 1; i < buttons.size(); ++i) {
        QWidget::setTabOrder(buttons[i - 1]->widget, buttons[i]->widget);
    }
}

}  // namespace

BuiltControls BuildMainWindowControls(QtMainWindowWidget& window,
                                      const MainWindowLayout& windowLayout, double dotsPerInch) {
    BuiltControls built;
    // A control whose container is not built yet waits for a later pass.
    std::vector<const ControlLayout*> pending;
    for (const ControlLayout& layout : windowLayout.controls) {
        if (layout.id != MainControl::Window) {
            pending.push_back(&layout);
        }
    }
    while (!pending.empty()) {
        std::vector<const ControlLayout*> waiting;
        for (const ControlLayout* layout : pending) {
            QWidget* parent = ParentOf(*layout, window, built);
            if (parent == nullptr) {
                waiting.push_back(layout);
                continue;
            }
            BuiltControl control{*layout, Make(*layout, windowLayout, parent, dotsPerInch)};
            control.widget->setToolTip(Text(layout->toolTip));
            PlaceControl(control, dotsPerInch);
            built.emplace(layout->id, control);
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
    const ControlLayout& layout = control.layout;
    QRect rect =
        TwipsToPixelRect(layout.left, layout.top, layout.width, layout.height, dotsPerInch);
    if (layout.kind == ControlKind::Line) {
        // A rule one etched line thick, centred on its windowLayout line.
        rect = QRect(rect.x(), rect.y() - 1, rect.width(), 3);
    } else if (layout.autoSize) {
        rect.setSize(control.widget->sizeHint());
    }
    control.widget->setGeometry(rect);
}

}  // namespace ww::platform
