// SPDX-License-Identifier: MIT
// The store a station's --db names: a PostgreSQL connection string
// ("postgresql://..." or "postgres://...", or "host=... dbname=..."), or else
// the path of an SQLite file, made when missing.
#pragma once

#include <memory>
#include <string>

#include "station/station_store.h"

namespace veltrane::station::store {

bool NamesServer(const std::string& db);

// The store ready for use (its schema made or checked); null with `error` told.
std::unique_ptr<StationStore> OpenStore(const std::string& db, std::string& error);

}  // namespace veltrane::station::store
