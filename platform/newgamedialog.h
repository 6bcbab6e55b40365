#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

/// Asks for a new game's name and where to put it, and shows the folder that will be made for
/// it there. The folder is made by the caller (CreateGame).
class NewGameDialog : public QDialog
{
    Q_OBJECT
public:
    /// Asks the user for a folder; empty when cancelled.
    using FolderAsker = std::function<QString(QWidget *parent, const QString &start)>;

    /// @p location is where the game goes unless the author chooses another place.
    explicit NewGameDialog(const QString &location, FolderAsker askFolder = {},
                           QWidget *parent = nullptr);

    QString gameName() const;
    /// The folder to make: the name, as a folder name, inside the chosen place; empty while no
    /// name is typed.
    QString folder() const;

    void accept() override;

private:
    void update();

    FolderAsker m_askFolder;
    QLineEdit *m_name;
    QLineEdit *m_location;
    QLabel *m_result;
    QPushButton *m_create;
};
