#include "app/ui/MainOptionsWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <map>

namespace miradel {

namespace {

QString Q(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

}  // namespace

MainOptionsWindow::MainOptionsWindow(const AppConfigData& image, std::filesystem::path folder,
                                     AppliedHook applied, QWidget* parent)
    : QDialog(parent),
      folder_(std::move(folder)),
      applied_(std::move(applied)),
      pages_(new QTabWidget(this)),
      apply_(new QPushButton("Применить", this)),
      cancel_(new QPushButton("Отмена", this)) {
    setWindowTitle(Q(kMainOptionsTitle));
    model_.Open(image);

    // One page per tab; on each page the loose controls first, then one frame per group.
    std::vector<QFormLayout*> loose;
    std::vector<std::map<std::string, QFormLayout*>> groups(kOptionsPageCount);
    std::vector<QVBoxLayout*> pageLayouts;
    for (int p = 0; p < kOptionsPageCount; ++p) {
        auto* page = new QWidget(pages_);
        auto* layout = new QVBoxLayout(page);
        auto* form = new QFormLayout;
        layout->addLayout(form);
        pageLayouts.push_back(layout);
        loose.push_back(form);
        pages_->addTab(page, Q(OptionsPageName(static_cast<OptionsPage>(p))));
    }
    const auto& controls = model_.Controls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const OptionControl& c = controls[i];
        const int p = static_cast<int>(c.page);
        QFormLayout* form = loose[p];
        if (!c.group.empty()) {
            auto& frame = groups[p][c.group];
            if (!frame) {
                auto* box = new QGroupBox(Q(c.group), pages_->widget(p));
                frame = new QFormLayout(box);
                pageLayouts[p]->addWidget(box);
            }
            form = frame;
        }
        QWidget* widget = MakeControl(i);
        widgets_.push_back(widget);
        if (c.kind == OptionKind::kCheck) {
            form->addRow(widget);
        } else {
            form->addRow(new QLabel(Q(c.caption)), widget);
        }
    }
    for (QVBoxLayout* layout : pageLayouts) {
        layout->addStretch();
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {apply_, cancel_}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    layout->addLayout(buttons);

    connect(apply_, &QPushButton::clicked, this, &MainOptionsWindow::ApplyAndClose);
    connect(cancel_, &QPushButton::clicked, this, &MainOptionsWindow::reject);
    ShowModel();
}

QWidget* MainOptionsWindow::ControlWidget(std::size_t control) const {
    return control < widgets_.size() ? widgets_[control] : nullptr;
}

QWidget* MainOptionsWindow::MakeControl(std::size_t i) {
    const OptionControl& c = model_.Controls()[i];
    switch (c.kind) {
        case OptionKind::kCheck: {
            auto* box = new QCheckBox(Q(c.caption), this);
            connect(box, &QCheckBox::clicked, this, [this, i](bool checked) {
                model_.SetChecked(i, checked);
                ShowModel();
            });
            return box;
        }
        case OptionKind::kChoice: {
            auto* list = new QComboBox(this);
            for (const std::string& text : c.choices) {
                list->addItem(Q(text));
            }
            connect(list, &QComboBox::activated, this, [this, i](int index) {
                model_.SetChoice(i, index);
                ShowModel();
            });
            return list;
        }
        default: {
            auto* edit = new QLineEdit(this);
            if (c.kind == OptionKind::kText) {
                edit->setToolTip(QString("Поле вмещает %1 симв.; более длинный текст при "
                                         "применении обрезается.")
                                     .arg(c.TextCapacity()));
            }
            connect(edit, &QLineEdit::textEdited, this,
                    [this, i](const QString& text) { model_.SetText(i, text.toStdString()); });
            return edit;
        }
    }
}

void MainOptionsWindow::ShowModel() {
    const auto& controls = model_.Controls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const OptionState& s = model_.State(i);
        QWidget* widget = widgets_[i];
        const QSignalBlocker quiet(widget);
        widget->setEnabled(s.enabled);
        if (auto* box = qobject_cast<QCheckBox*>(widget)) {
            box->setChecked(s.checked);
        } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
            list->setCurrentIndex(s.choice);
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            const QString text = QString::fromStdString(s.text);
            if (controls[i].digits > 0) {
                // The width holds what the operator types; a wider stored value still shows
                // whole rather than being cut by the edit.
                edit->setMaxLength(std::max<int>(controls[i].digits, int(text.size())));
            }
            if (edit->text() != text) {
                edit->setText(text);
            }
        }
    }
}

void MainOptionsWindow::ApplyAndClose() {
    const MainOptionsSave save = ApplyMainOptionsToFolder(folder_, model_);
    if (applied_) {
        applied_(save);
    }
    accept();
}

}  // namespace miradel
