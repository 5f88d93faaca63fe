// Placeholder until the sample driver lands.
int main() { return 1; }
