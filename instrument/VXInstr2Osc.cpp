#include "instrument/VXInstr2Osc.h"

TVXInstr2Osc::TVXInstr2Osc() = default;

TVXInstr2Osc::~TVXInstr2Osc() = default;
