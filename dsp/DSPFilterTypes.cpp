#include "dsp/DSPFilterTypes.h"

#include "dsp/DSPBiquadFilters.h"
#include "dsp/DSPButterworthFilters.h"
#include "dsp/DSPLadderFilters.h"
#include "dsp/DSPOnePoleFilters.h"
#include "dsp/DSPRBJFilters.h"
#include "dsp/DSPResonatorFilters.h"
#include "dsp/DSPStateVariableFilter.h"

namespace tesmora6 {

namespace {

template <class T>
std::unique_ptr<TDSPFilter> Make() {
  return std::make_unique<T>();
}

const TFilterTypeEntry kFilterTypes[kFilterTypeCount] = {
    /*  0 */ {"BW LP", Make<TResonantButterworthFilterLP>},
    /*  1 */ {"BW HP", Make<TResonantButterworthFilterHP>},
    /*  2 */ {"BW LP2", Make<TClassicButterworthFilterLP>},
    /*  3 */ {"BW HP2", Make<TClassicButterworthFilterHP>},
    /*  4 */ {"BW BP2", Make<TClassicButterworthFilterBP>},
    /*  5 */ {"BW BR2", Make<TClassicButterworthFilterBR>},
    /*  6 */ {"12DB LP", Make<TDSPOnePoleFilterLP>},
    /*  7 */ {"24DB LP", Make<TPoleZeroLadderFilter>},
    /*  8 */ {"24DB LP2", Make<TBilinearLadderFilter>},
    /*  9 */ {"24DB LP3", Make<TSaturatingLadderFilterLP>},
    /* 10 */ {"24DB HP", Make<TSaturatingLadderFilterHP>},
    /* 11 */ {"24DB BP", Make<TSaturatingLadderFilterBP>},
    /* 12 */ {"LP1", Make<TTwoPoleResonantFilter>},
    /* 13 */ {"SVF LP", Make<TStateVariableFilterLP>},
    /* 14 */ {"SVF HP", Make<TStateVariableFilterHP>},
    /* 15 */ {"SVF BP", Make<TStateVariableFilterBP>},
    /* 16 */ {"SVF NOTCH", Make<TStateVariableFilterNotch>},
    /* 17 */ {"PEAKING", Make<TStateVariableFilterPeaking>},
    /* 18 */ {"IIR NOTCH", Make<TIIRNotchFilter>},
    /* 19 */ {"RES", Make<TResonatorFilter>},
    /* 20 */ {"RBJ LP", Make<TRBJFilterLP>},
    /* 21 */ {"RBJ HP", Make<TRBJFilterHP>},
    /* 22 */ {"RBJ BPFS", Make<TRBJFilterBPFS>},
    /* 23 */ {"RBJ BPFP", Make<TRBJFilterBPFP>},
    /* 24 */ {"RBJ NOTCH", Make<TRBJFilterNotch>},
    /* 25 */ {"RBJ APF", Make<TRBJFilterAPF>},
    /* 26 */ {"PEAK-EQ", Make<TRBJFilterPeakingEQ>},
    /* 27 */ {"LOWSHELF", Make<TRBJFilterLowShelf>},
    /* 28 */ {"HIGHSHELF", Make<TRBJFilterHighShelf>},
    /* 29 */ {"Bandpass", Make<TPolePairFilterBP>},
    /* 30 */ {"Phaser", Make<TPolePairFilterPhaser>},
    /* 31 */ {"4PoleEQ1", Make<TBiquad4PoleEQ1Filter>},
    /* 32 */ {"4PoleEQ2", Make<TBiquad4PoleEQ2Filter>},
    /* 33 */ {"4PoleLP", Make<TBiquad4PoleLPFilter>},
    /* 34 */ {"Vocal1", Make<TBiquadVocal1Filter>},
    /* 35 */ {"Vocal2", Make<TBiquadVocal2Filter>},
    /* 36 */ {"RND1", Make<TPinkNoiseFilter>},
    /* 37 */ {"RND2", Make<TPinkNoiseFilter>},
};

}  // namespace

const TFilterTypeEntry& FilterTypeEntry(int index) {
  return (index >= 0 && index < kFilterTypeCount) ? kFilterTypes[index] : kFilterTypes[0];
}

}  // namespace tesmora6
