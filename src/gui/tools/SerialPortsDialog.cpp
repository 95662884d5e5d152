#include "gui/tools/SerialPortsDialog.h"

#include <algorithm>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/common/Dialogs.h"
#include "core/settings/SettingsStore.h"
#include "core/transport/NetworkAddress.h"
#include "gui/common/DropDownAccessible.h"

namespace {

constexpr int kMinimumFieldColumns = 24;
constexpr int kMaximumFieldColumns = 80;

QString comName(int row)
{
    return QStringLiteral("COM%1").arg(row + 1);
}

} // namespace

CSerialPortsDialog::CSerialPortsDialog(const SettingsStore &settings, Dialogs &dialogs,
                                       std::vector<SerialDevice> choices, QWidget *parent)
    : QDialog(parent), settings_(settings), dialogs_(dialogs), choices_(std::move(choices))
{
    InstallDropDownAccessibility();
    setWindowTitle(QStringLiteral("Serial ports"));
    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(QStringLiteral("The device each port name opens. Pick a serial device or type a path; "
                                            "/dev/serial/by-id paths stay the same when an adapter is plugged in again."),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    // Wide enough for the longest device offered (the /dev/serial/by-id names are long),
    // within reason.
    int fieldColumns = kMinimumFieldColumns;
    for (const SerialDevice &device : choices_)
        fieldColumns = std::max(fieldColumns, static_cast<int>(device.path.size()));
    fieldColumns = std::min(fieldColumns, kMaximumFieldColumns);

    auto *grid = new QGridLayout;
    for (int row = 0; row < kPortCount; ++row) {
        auto *name = new QLabel(comName(row), this);
        auto *field = new QComboBox(this);
        field->setEditable(true);
        field->setInsertPolicy(QComboBox::NoInsert);
        field->setMinimumContentsLength(fieldColumns);
        for (const SerialDevice &device : choices_)
            field->addItem(device.path);
        field->setEditText(settings_.PortDevice(comName(row)));
        field->setAccessibleName(comName(row) + QStringLiteral(" device"));
        name->setBuddy(field);
        auto *description = new QLabel(this);
        grid->addWidget(name, row, 0);
        grid->addWidget(field, row, 1);
        grid->addWidget(description, row, 2);
        fields_[static_cast<std::size_t>(row)] = field;
        descriptions_[static_cast<std::size_t>(row)] = description;
        connect(field, &QComboBox::editTextChanged, this, [this, row] { showDescription(row); });
        showDescription(row);
    }
    layout->addLayout(grid);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSerialPortsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSerialPortsDialog::reject);
    layout->addWidget(buttons);
}

void CSerialPortsDialog::showDescription(int row)
{
    const QString path = fields_[static_cast<std::size_t>(row)]->currentText().trimmed();
    QString text;
    for (const SerialDevice &device : choices_) {
        if (device.path == path)
            text = device.description;
    }
    descriptions_[static_cast<std::size_t>(row)]->setText(text);
    fields_[static_cast<std::size_t>(row)]->setAccessibleDescription(text);
}

bool CSerialPortsDialog::Apply()
{
    std::vector<std::pair<QString, QString>> changes;
    for (int row = 0; row < kPortCount; ++row) {
        const QString path = fields_[static_cast<std::size_t>(row)]->currentText().trimmed();
        if (path == settings_.PortDevice(comName(row)))
            continue;
        // An empty field gives the name its default device back; a network port is only
        // checked for its form, its server is tried when the port is opened.
        if (LooksLikeNetworkAddress(path)) {
            const QString problem = NetworkAddressProblem(path);
            if (!problem.isEmpty()) {
                dialogs_.Message(QStringLiteral("\"%1\" for %2 is not a network port: %3.\nNothing was changed.")
                                     .arg(path, comName(row), problem),
                                 QStringLiteral("Serial ports"), MessageIcon::Exclamation);
                return false;
            }
        } else if (!path.isEmpty() && !QFileInfo::exists(path)) {
            dialogs_.Message(QStringLiteral("There is no device \"%1\" for %2.\nNothing was changed.")
                                 .arg(path, comName(row)),
                             QStringLiteral("Serial ports"), MessageIcon::Exclamation);
            return false;
        }
        changes.emplace_back(comName(row), path);
    }
    for (const auto &[name, path] : changes) {
        if (!settings_.SetPortDevice(name, path)) {
            dialogs_.Message(QStringLiteral("Couldn't write the settings file\n%1").arg(settings_.Path()),
                             QStringLiteral("Serial ports"), MessageIcon::Exclamation);
            return false;
        }
    }
    return true;
}

void CSerialPortsDialog::accept()
{
    if (Apply())
        QDialog::accept();
}
