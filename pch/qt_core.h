// The QtCore headers that most sources of the project include, precompiled once. The whole of
// QtCore is here: every test includes it through <QtTest>.
#include <QtCore/QtCore>
