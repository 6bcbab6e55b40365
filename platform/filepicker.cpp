#include "filepicker.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QTreeView>

#include <memory>

namespace {

// The dialog's columns in Chinese whatever language the system speaks: a file's type by its
// suffix, its date as numbers.
class ChineseColumns : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (!files || role != Qt::DisplayRole || (index.column() != 2 && index.column() != 3))
            return QIdentityProxyModel::data(index, role);
        const QFileInfo info = files->fileInfo(mapToSource(index));
        if (index.column() == 3)
            return info.lastModified().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
        return QtFilePicker::typeName(info);
    }
};

} // namespace

QString QtFilePicker::choose(QWidget *parent, const QString &startFolder, const QString &filter)
{
    const std::unique_ptr<QFileDialog> chooser(dialog(parent, startFolder, filter));
    if (chooser->exec() != QDialog::Accepted || chooser->selectedFiles().isEmpty())
        return {};
    return chooser->selectedFiles().first();
}

QFileDialog *QtFilePicker::dialog(QWidget *parent, const QString &startFolder,
                                  const QString &filter)
{
    auto *chooser = new QFileDialog(parent, QStringLiteral("选择图片"), startFolder, filter);
    chooser->setObjectName(QStringLiteral("picturePicker"));
    chooser->setFileMode(QFileDialog::ExistingFile);
    chooser->setAcceptMode(QFileDialog::AcceptOpen);
    // The filter by its name alone ("图片"): its patterns list every suffix in two cases.
    chooser->setOption(QFileDialog::HideNameFilterDetails);
    chooser->setProxyModel(new ChineseColumns(chooser));
    // Sizes, types and dates in full; the names take the rest.
    if (auto *details = chooser->findChild<QTreeView *>(QStringLiteral("treeView"))) {
        for (int column = 1; column <= 3; ++column)
            details->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
        details->header()->setSectionResizeMode(0, QHeaderView::Stretch);
        details->header()->setStretchLastSection(false);
    }
    chooser->resize(720, 440);
    return chooser;
}

QString QtFilePicker::typeName(const QFileInfo &file)
{
    if (file.isDir())
        return QStringLiteral("文件夹");
    const QString suffix = file.suffix().toUpper();
    if (suffix == u"JPG" || suffix == u"JPEG")
        return QStringLiteral("JPEG 图片");
    if (suffix == u"PNG" || suffix == u"BMP" || suffix == u"GIF")
        return suffix + QStringLiteral(" 图片");
    return suffix.isEmpty() ? QStringLiteral("文件") : suffix + QStringLiteral(" 文件");
}
