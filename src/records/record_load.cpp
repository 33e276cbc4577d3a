#include "records/record_load.h"

#include "records/pgn_file.h"
#include "records/record_file.h"
#include "records/record_format.h"

namespace xq {

bool loadGameRecord(const QString& path, GameRecord& game, PgnError* error) {
    switch (recordFormatOf(path)) {
        case RecordFormat::Pgn:
            return loadPgnFile(path, game, error);
        case RecordFormat::Text:
            break;
        case RecordFormat::Drak: {
            GameRecord read;
            if (!LoadQiPuFile(path, read.moves)) break;
            game = std::move(read);
            return true;
        }
    }
    if (error != nullptr) *error = PgnError{};
    return false;
}

}  // namespace xq
