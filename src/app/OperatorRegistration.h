#pragma once
// A successful login tells the Меркурий 114.1Ф who works now: the operator registration and
// a paper feed are queued for its worker. Other receipt devices get nothing.
#include "app/config/AppConfig.h"

namespace miradel {

class PrintQueue;
struct FiscalFlags;

void RegisterOperatorAtRegister(AppConfig& config, PrintQueue& queue, FiscalFlags& flags,
                                int operatorNo);

}  // namespace miradel
