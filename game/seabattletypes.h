#ifndef SEABATTLETYPES_H
#define SEABATTLETYPES_H

// Registers Game, GameCore, Player and WallyPlayer as "SeaBattle" 1.0.
void registerSeaBattleTypes();

#endif // SEABATTLETYPES_H
