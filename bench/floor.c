/* The floor for the benchmark: the least a C program must do to play the
 * same piped game. Seeded from the same clock and throwing with the same
 * generator, it writes the same bytes with the same flushes, and reads the
 * pause's byte and each answer as the game does; it owns no terminal. */
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

static const char welcome[] =
    "****************************************************************\n"
    "Welcome to Single Roll Tolvane!\n\n"
    "Players alternate turns by rolling the dice once. \n"
    "If it is near the end of the game, and a roll results in not\n"
    "being able to fill in any square, a square must be crossed out.\n"
    "The player with the highest score wins!\n"
    "Good luck...\n"
    "****************************************************************\n\n";

int main(void) {
    char answer = 'y';
    unsigned char key;

    srand((unsigned)time(NULL));
    fputs(welcome, stdout);
    fputs("Press any key to continue . . . ", stdout);
    fflush(stdout);
    if (read(STDIN_FILENO, &key, 1) < 0) {
        return 0;
    }
    fputs("\n", stdout);
    while (answer == 'y') {
        int dice[5];
        for (int die = 0; die < 5; ++die) {
            dice[die] = rand() % 6 + 1;
        }
        fputs("A new turn has begun.\n", stdout);
        printf("\nFirst die: %d\nSecond die: %d\nThird die: %d\nFourth die: %d\nFifth die: %d\n",
               dice[0], dice[1], dice[2], dice[3], dice[4]);
        fflush(stdout);
        fputs("\nAre there any dice-rolls remaining? (y/n): ", stdout);
        fflush(stdout);
        if (scanf(" %c", &answer) != 1) {
            fputs("\n", stdout);
            return 0;
        }
    }
    return 0;
}
