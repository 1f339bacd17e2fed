#include "serve/ServiceWindow.h"

#include "serve/CallService.h"

#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int kDefaultPort = 8731;
}

ServiceWindow::ServiceWindow(std::function<QString()> script, QWidget* parent)
    : QWidget(parent, Qt::Window), m_script(std::move(script)),
      m_service(std::make_unique<CallService>()) {
    setObjectName(QStringLiteral("调用服务"));
    setWindowTitle(QStringLiteral("调用服务"));
    auto* form = new QFormLayout;
    m_host = new QLineEdit(QStringLiteral("127.0.0.1"), this);
    form->addRow(QStringLiteral("地址"), m_host);
    m_port = new QSpinBox(this);
    m_port->setRange(0, 65535);
    m_port->setSpecialValueText(QStringLiteral("自动（任一空闲端口）"));
    m_port->setValue(kDefaultPort);
    form->addRow(QStringLiteral("端口"), m_port);
    m_workers = new QSpinBox(this);
    m_workers->setRange(1, 256);
    m_workers->setValue(CallService::defaultWorkers());
    form->addRow(QStringLiteral("引擎数"), m_workers);
    m_timeout = new QDoubleSpinBox(this);
    m_timeout->setRange(0.1, 3600.0);
    m_timeout->setDecimals(1);
    m_timeout->setValue(10.0);
    form->addRow(QStringLiteral("每次调用时限（秒）"), m_timeout);
    m_token = new QLineEdit(this);
    m_token->setPlaceholderText(QStringLiteral("监听本机以外的地址时必填"));
    form->addRow(QStringLiteral("令牌"), m_token);

    m_startStop = new QPushButton(QStringLiteral("启动"), this);
    m_status = new QLabel(QStringLiteral("未启动"), this);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_status->setWordWrap(true);
    m_count = new QLabel(this);
    auto* note =
        new QLabel(QStringLiteral("加载的是当前编辑框的脚本，每个引擎各有一份，与主引擎无关；"
                                  "一次调用留下的状态留在它所在的引擎里。"),
                   this);
    note->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_startStop);
    layout->addWidget(m_status);
    layout->addWidget(m_count);
    layout->addWidget(note);
    resize(380, 300);

    m_refresh = new QTimer(this);
    m_refresh->setInterval(500);
    connect(m_refresh, &QTimer::timeout, this, &ServiceWindow::showCounts);
    connect(m_startStop, &QPushButton::clicked, this, &ServiceWindow::onStartStopClicked);
}

ServiceWindow::~ServiceWindow() {
    if (m_background)
        m_background->wait();
    m_service->stop();
}

bool ServiceWindow::isServing() const {
    return !m_background && m_service->isRunning();
}

QString ServiceWindow::address() const {
    return isServing() ? m_service->address() : QString();
}

void ServiceWindow::onStartStopClicked() {
    if (m_background)
        return; // a start or stop is under way
    if (m_service->isRunning())
        stop();
    else
        start();
}

void ServiceWindow::setEditable(bool editable) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_host, m_port, m_workers, m_timeout, m_token})
        w->setEnabled(editable);
}

void ServiceWindow::runInBackground(std::function<void()> work, std::function<void()> then) {
    m_startStop->setEnabled(false);
    m_background = QThread::create(std::move(work));
    connect(m_background, &QThread::finished, this, [this, then = std::move(then)] {
        m_background->deleteLater();
        m_background = nullptr;
        m_startStop->setEnabled(true);
        then();
    });
    m_background->start();
}

void ServiceWindow::start() {
    ServiceOptions options;
    options.sources << m_script();
    options.http.host = m_host->text().trimmed();
    options.http.port = quint16(m_port->value());
    options.http.token = m_token->text();
    options.workers = m_workers->value();
    options.timeoutSeconds = m_timeout->value();
    setEditable(false);
    m_status->setText(QStringLiteral("正在加载脚本…"));
    auto error = std::make_shared<QString>();
    auto started = std::make_shared<bool>(false);
    runInBackground(
        [this, options, error, started] { *started = m_service->start(options, error.get()); },
        [this, error, started] {
            if (!*started) {
                setEditable(true);
                m_status->setText(QStringLiteral("启动失败：") + *error);
                return;
            }
            m_startStop->setText(QStringLiteral("停止"));
            m_status->setText(QStringLiteral("正在服务：") + m_service->address());
            showCounts();
            m_refresh->start();
            emit servingChanged(true);
        });
}

void ServiceWindow::stop() {
    m_refresh->stop();
    m_status->setText(QStringLiteral("正在停止（完成进行中的调用）…"));
    runInBackground([this] { m_service->stop(); },
                    [this] {
                        setEditable(true);
                        m_startStop->setText(QStringLiteral("启动"));
                        m_status->setText(QStringLiteral("已停止"));
                        showCounts();
                        emit servingChanged(false);
                    });
}

void ServiceWindow::showCounts() {
    const PoolHealth h = m_service->health();
    m_count->setText(QStringLiteral("调用次数：%1（出错 %2），正在运行 %3，排队 %4")
                         .arg(h.served)
                         .arg(h.errors)
                         .arg(h.busy)
                         .arg(h.queued));
}
