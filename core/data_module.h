#pragma once

#include "platform/db/connection.h"
#include "platform/db/query.h"

#include <QObject>

namespace gc {

// The program's one database connection and the shared queries every window reads
// and writes through. Windows set a query's SQL themselves; nothing restores it.
class Tdm : public QObject {
    Q_OBJECT
  public:
    explicit Tdm(QObject* parent = nullptr);
    ~Tdm() override;

    db::Connection ADOConnection1;

    db::Query adoq_user;
    db::Query ADOQuery1;
    db::Query adoq_set;
    db::Query ADOQ_amval;
    db::Query ADOQ_prs;
    db::Query ADOQ_asami;
    db::Query ADOQ_khodro;
    db::Query ADOQ_parking;
    db::Query ADOQ_per_pic;
    db::Query ADOQ_otagh;
    db::Query ADOQ_arbabrojo;
    db::Query ADOQ_barcod;
    db::Query ADOQ_zamaem;
    db::Query ADOQ_loh;
    db::Query ADOQ_kala;
    db::Query ADOQ_payam;
    db::Query ADOQ_dastrasi;
    db::Query ADOQ_timer;
    db::Query ADOQ_anbar;
    db::Query ADOQ_resid;
    db::Query ADOQ_arbabrojo_pic;
    db::Query ADOQ_arbabrojopic_src;
    db::Query ADOQ_per_pic_save;
    db::Query ADOQ_per_pic_save2;

    // The queries in declaration order.
    QList<db::Query*> queries();
};

// The data module of the running program.
Tdm& dm();
// Set once, by start-up, for the program's lifetime.
void setDm(Tdm* instance);

} // namespace gc
