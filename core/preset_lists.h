#pragma once

#include <QString>
#include <QStringList>

namespace gc::db {
class Query;
}

// The preset value lists: rows of table `setting` sharing one `component` name, one value
// per row in `cmt`, the default marked by `def` = "1". Names are compared as exact text:
// Arabic and Persian kaf and yeh make different names.
namespace gc::presets {

inline const QString kParking = QString::fromUtf8("پاركينگ");
inline const QString kDeletePassword = QString::fromUtf8("رمز حذف");
inline const QString kJobTitle = QString::fromUtf8("سمت");
inline const QString kOfficialPlate = QString::fromUtf8("شماره خودرو اداري");
inline const QString kExitReason = QString::fromUtf8("علل خروج");
inline const QString kOwner = QString::fromUtf8("مالك");
inline const QString kGuardPlace = QString::fromUtf8("محل کار نگهبان");
inline const QString kDocument = QString::fromUtf8("مدرك");
inline const QString kDestination = QString::fromUtf8("مقصد");
inline const QString kVisitorDestination = QString::fromUtf8("مقصد ارباب رجوع");
inline const QString kMessageSubject = QString::fromUtf8("موضوع پيام");
inline const QString kOfficialDriver = QString::fromUtf8("نام راننده اداري");
inline const QString kItemName = QString::fromUtf8("نام كالا");
inline const QString kGuardName = QString::fromUtf8("نام نگهبان");

// The fourteen names, in the order the settings window offers them.
const QStringList& listNames();

// The list's values in row order.
QStringList values(db::Query& query, const QString& list);
// The list's default value, empty when it has none.
QString defaultValue(db::Query& query, const QString& list);
// The delete password: the first value of "رمز حذف", empty when there is none.
QString deletePassword(db::Query& query);

} // namespace gc::presets
