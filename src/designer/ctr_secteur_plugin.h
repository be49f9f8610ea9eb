#pragma once
// Ctr_Secteur for Qt Designer's widget box. In Designer the control shows its
// screen only: the host objects and Init belong to the running host.

#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

namespace zonitra {

class CtrSecteurPlugin : public QObject, public QDesignerCustomWidgetInterface {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetInterface")
    Q_INTERFACES(QDesignerCustomWidgetInterface)
public:
    explicit CtrSecteurPlugin(QObject* parent = nullptr);

    QString name() const override;
    QString group() const override;
    QString toolTip() const override;
    QString whatsThis() const override;
    QString includeFile() const override;
    QIcon icon() const override;
    bool isContainer() const override;
    QWidget* createWidget(QWidget* parent) override;
    QString domXml() const override;
};

}  // namespace zonitra
