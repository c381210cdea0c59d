#pragma once

#include <QWidget>

class QLabel;

// The splash shown while the main window loads: the logo, the product and its version.
class frmSplash : public QWidget
{
    Q_OBJECT

public:
    explicit frmSplash(QWidget *parent = nullptr);

    void Form_Load();

    QLabel *lblProductName() const { return m_productName; }
    QLabel *lblVersion() const { return m_version; }

private:
    QLabel *m_productName;
    QLabel *m_version;
};
