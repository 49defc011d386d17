select * from ar where aracctnum >= 0 order by aracctnum
