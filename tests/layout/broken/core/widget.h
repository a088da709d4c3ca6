#include <QLineEdit>
