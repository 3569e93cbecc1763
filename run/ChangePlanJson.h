#pragma once

#include "run/ChangePlan.h"

#include <QByteArray>

// The plan as one JSON document (UTF-8, keys in a fixed order); its layout is described in
// the README's command line section.
QByteArray changePlanJson(const ChangePlan &plan);
