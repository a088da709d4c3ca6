#pragma once

#include <QString>

// What the visitor windows say.
namespace gc::registers::arbab {

inline const QString kBarcodeInUseMessage =
    QStringLiteral("خطا! اين باركد براي فردي ثبت شده است كه هنوز خروج نخورده است. از باركد "
                   "ديگر استفاده نماييد");
inline const QString kDoubleReadMessage = QStringLiteral("خطا! باركد دو بار خوانده شد");
inline const QString kDuplicateQuestion = QStringLiteral(
    "اين نام خانوادگي و شماره كارت در اين تاريخ تكراري است، آيا مي خواهيد ادامه دهيد؟");
inline const QString kPrintQuestion = QStringLiteral("ثبت شد. آيا رسيد چاپ شود؟");
inline const QString kSlipNotPrinted = QStringLiteral("ثبت شد ولي برگه ملاقات چاپ نشد");
inline const QString kNoFrameMessage =
    QStringLiteral("ثبت شد ولي هنوز تصويري از دوربين نرسيده بود؛ تصوير ذخيره نشد");
inline const QString kNoCameraMessage = QStringLiteral("دوربيني متصل نيست");
inline const QString kCameraFailedMessage = QStringLiteral("دوربين «%1» روشن نشد");
inline const QString kNotAvailableMessage = QStringLiteral("%1 در اين نسخه برنامه موجود نيست");
inline const QString kNoVisitSelected = QStringLiteral("هيچ ارباب رجوعي انتخاب نشده است");
inline const QString kExitRecorded = QStringLiteral("  خروج براي اين ارباب رجوع ثبت شد  ");
inline const QString kExitNotFound =
    QStringLiteral("ارباب رجوع با اين باركد كه خروج نخورده باشد يافت نشد");
inline const QString kSaved = QStringLiteral("ثبت شد");
inline const QString kDeleted = QStringLiteral("حذف شد");
inline const QString kPicturesWritten =
    QStringLiteral("%1 فايل تصوير در %2 نوشته شد، %3 رديف بدون تصوير يا با فايل موجود رد شد و "
                   "%4 فايل نوشته نشد");

} // namespace gc::registers::arbab
