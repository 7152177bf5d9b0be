// vistrel-decoder: one confined decoder process of the browser's pool.
#include "imaging/DecoderWorker.h"

int main(int argc, char** argv) {
    return imaging::DecoderWorker::Run(argc, argv);
}
