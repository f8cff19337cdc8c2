// SDL display (being written).
