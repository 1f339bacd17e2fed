#pragma once
// "调用服务": starts and stops the call service for the current editor's script, loaded
// into the service's own engines (never the main engine). Not modal, and loading or
// stopping happens off the window's thread, so the window stays usable while it serves.

#include <QWidget>

#include <functional>
#include <memory>

class CallService;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QThread;
class QTimer;

class ServiceWindow : public QWidget {
    Q_OBJECT
public:
    // script: the text to serve, asked for at each start.
    explicit ServiceWindow(std::function<QString()> script, QWidget* parent = nullptr);
    ~ServiceWindow() override;

    // "启动" / "停止".
    void onStartStopClicked();
    bool isServing() const;
    // "http://127.0.0.1:8731/" while serving, else empty.
    QString address() const;

    QLineEdit* hostEdit() const { return m_host; }
    QSpinBox* portBox() const { return m_port; }
    QSpinBox* workersBox() const { return m_workers; }
    QDoubleSpinBox* timeoutBox() const { return m_timeout; }
    QLineEdit* tokenEdit() const { return m_token; }
    QPushButton* startStopButton() const { return m_startStop; }
    QLabel* statusLabel() const { return m_status; }
    QLabel* countLabel() const { return m_count; }

signals:
    // The service started (true) or ended (false).
    void servingChanged(bool serving);

private:
    void start();
    void stop();
    void runInBackground(std::function<void()> work, std::function<void()> then);
    void setEditable(bool editable);
    void showCounts();

    std::function<QString()> m_script;
    std::unique_ptr<CallService> m_service;
    QThread* m_background = nullptr;
    QLineEdit* m_host = nullptr;
    QSpinBox* m_port = nullptr;
    QSpinBox* m_workers = nullptr;
    QDoubleSpinBox* m_timeout = nullptr;
    QLineEdit* m_token = nullptr;
    QPushButton* m_startStop = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_count = nullptr;
    QTimer* m_refresh = nullptr;
};
