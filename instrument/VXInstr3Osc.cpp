#include "instrument/VXInstr3Osc.h"

TVXInstr3Osc::TVXInstr3Osc() = default;

TVXInstr3Osc::~TVXInstr3Osc() = default;
